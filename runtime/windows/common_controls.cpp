#include "common_controls.h"

#include <commctrl.h>

#include "system_dlls.h"

bool initCommonControls(DWORD classes) {
  // Loaded once and kept: the classes it registers live as long as it does.
  static const HMODULE comctl32 = loadSystemDll(L"comctl32.dll");
  using InitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = exportOf<InitCommonControlsEx>(comctl32, "InitCommonControlsEx");
  const INITCOMMONCONTROLSEX controls{sizeof controls, classes};
  return init && init(&controls);
}
