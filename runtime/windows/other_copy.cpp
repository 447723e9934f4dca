#include "other_copy.h"

#include <string>

namespace {

struct Search {
  DWORD processId;
  HWND messageBox = nullptr, enabled = nullptr, any = nullptr;
};

bool isMessageBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770";
}

// Top-level windows in z-order, the front first.
BOOL CALLBACK considerWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  if (!search->messageBox && isMessageBox(window)) search->messageBox = window;
  if (!search->enabled && IsWindowEnabled(window)) search->enabled = window;
  if (!search->any) search->any = window;
  return TRUE;
}

}  // namespace

HWND frontWindowOfProcess(DWORD processId) {
  Search search{processId};
  EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
  return search.messageBox ? search.messageBox : search.enabled ? search.enabled : search.any;
}

void bringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}
