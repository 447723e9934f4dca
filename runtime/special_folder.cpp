#include "special_folder.h"

#include <windows.h>
#include <shlobj.h>

Text withTrailingBackslash(const Text& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

Text specialFolder(int kind) {
  if (kind != kDesktopFolder) return {};
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
  return withTrailingBackslash(path);
}
