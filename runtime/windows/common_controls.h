#pragma once
// The common controls (the progress bar), from the system's COMCTL32.dll,
// loaded at run time from the system folder: imported, it would be looked
// for beside the program first, since it is not one of Windows' known DLLs.
#include <windows.h>

// Registers the classes of INITCOMMONCONTROLSEX's `classes`; false where
// the DLL or its function is missing.
bool initCommonControls(DWORD classes);
