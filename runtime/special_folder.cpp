#include "special_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "system_path.h"

Text withTrailingBackslash(const Text& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

Text specialFolder(int kind) {
  if (kind != kDesktopFolder) return {};
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
  return withTrailingBackslash(pathFromWindows(path));
}

Text systemFolder() {
  wchar_t path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? pathFromWindows(path) : Text("C:\\Windows\\System32");
}
