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

Text realPathOf(const Text& path) {
  const std::wstring wide = widen(path);
  const DWORD length = GetLongPathNameW(wide.c_str(), nullptr, 0);
  if (length == 0) return path;
  std::wstring real(length, L'\0');
  const DWORD written = GetLongPathNameW(wide.c_str(), real.data(), length);
  if (written == 0 || written >= length) return path;
  real.resize(written);
  return narrow(real);
}

// "?" is no GBK trail byte (they begin at 0x40), so it stands for itself.
bool pathIsUsable(std::string_view path) { return path.find('?') == std::string_view::npos; }
