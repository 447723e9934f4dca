#include "system_dlls.h"

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void restrictDllSearchToSystemFolder() {
  // Found at run time: a Windows 7 without its loader update lacks it.
  using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      exportOf<SetDefaultDllDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");  // there, at least not the current folder
}

HMODULE loadSystemDll(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  // Where the flag is unknown: by the system folder's full path.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(system) + L"\\" + name).c_str());
}
