#pragma once
// DLLs from the system folder only. Windows looks for a DLL that is not one
// of its "known DLLs" in the program's own folder first, and a portable
// program often lies where a web page may have dropped a DLL (the
// Downloads folder): one of that name would run inside the program.
#include <windows.h>

// Restricts every later DLL load of the process to the system folder. The
// first thing the program does, before any window, dialog or GDI+ call.
void restrictDllSearchToSystemFolder();

// A DLL of the system loaded from the system folder, never from beside the
// program; null when it cannot be loaded.
HMODULE loadSystemDll(const wchar_t* name);

// An export of a loaded DLL as the function type it has.
template <typename Function>
Function exportOf(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
