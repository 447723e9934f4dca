#include "start_program.h"

#include <windows.h>
#include <ole2.h>

#include "fatal_error.h"
#include "program_dir.h"

namespace {

constexpr char kMainTitle[] = "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge";
constexpr char kMainClass[] = "TarvexForgeMain";

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool loadMainWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = mainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainClass;
  RegisterClassExA(&windowClass);
  const int width = 555, height = 436;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND window = CreateWindowExA(0, kMainClass, kMainTitle,
                                WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, left,
                                top, width, 406, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!window) return false;
  ShowWindow(window, SW_SHOW);
  return true;
}

}  // namespace

int startProgram() {
  initProgramDir();
  OleInitialize(nullptr);
  if (!loadMainWindow()) fatalError(0, "载入启动窗口失败");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  OleUninitialize();
  return 0;
}
