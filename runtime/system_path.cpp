#include "system_path.h"

#include <windows.h>

#include "wide_text.h"

std::wstring systemShortPath(const std::wstring& path) {
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return {};
  std::wstring shortPath(length, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), length);
  if (written == 0 || written >= length) return {};
  shortPath.resize(written);
  return shortPath;
}

Text pathFromWindows(const std::wstring& path, ShortPathLookup shortPath) {
  if (std::optional<Text> exact = narrowExactly(path)) return *exact;
  if (shortPath) {
    const std::wstring alias = shortPath(path);
    if (std::optional<Text> exact = narrowExactly(alias); exact && !alias.empty()) return *exact;
  }
  return narrow(path);
}

// "?" is no GBK trail byte (they begin at 0x40), so it stands for itself.
bool pathIsUsable(std::string_view path) { return path.find('?') == std::string_view::npos; }
