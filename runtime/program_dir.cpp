#include "program_dir.h"

#include <windows.h>

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

void initProgramDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  theProgramDir = splitExecutablePath(path).directory;
  makeProgramDirCurrent();
}

void makeProgramDirCurrent() {
  // SetCurrentDirectoryA("C:") would mean "the current folder on C:", so a
  // drive root is made current with its separator.
  const Text current = theProgramDir.size() == 2 ? theProgramDir + "\\" : theProgramDir;
  SetCurrentDirectoryA(current.c_str());
}

Text programDir() { return theProgramDir; }
