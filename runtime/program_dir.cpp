#include "program_dir.h"

#include <windows.h>

#include <string>

#include "system_path.h"
#include "wide_text.h"

namespace {
Text theProgramDir;  // written once at start, read-only afterwards
}

ExecutablePath splitExecutablePath(std::string_view path, unsigned codePage) {
  std::size_t lastSeparator = std::string_view::npos;
  for (std::size_t at = 0; at < path.size();) {
    if (path[at] == '\\') lastSeparator = at;
    at += (isSystemLeadByte(static_cast<unsigned char>(path[at]), codePage) && at + 1 < path.size()) ? 2 : 1;
  }
  if (lastSeparator == std::string_view::npos) return {{}, Text(path)};
  return {Text(path.substr(0, lastSeparator)), Text(path.substr(lastSeparator + 1))};
}

namespace {

// The executable's full path, of any length.
std::wstring executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

// The path is GBK by now (a short name where the folder's has no GBK form),
// so it is split by GBK's rule.
void initProgramDir() {
  theProgramDir = splitExecutablePath(pathFromWindows(executablePath()), kTextCodePage).directory;
  makeProgramDirCurrent();
}

void makeProgramDirCurrent() {
  // SetCurrentDirectory("C:") would mean "the current folder on C:", so a
  // drive root is made current with its separator.
  const Text current = theProgramDir.size() == 2 ? theProgramDir + "\\" : theProgramDir;
  SetCurrentDirectoryW(widen(current).c_str());
}

Text programDir() { return theProgramDir; }

std::wstring programDirForWindows() {
  const std::wstring path = executablePath();
  const std::size_t separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}
