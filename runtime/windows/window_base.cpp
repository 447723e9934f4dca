#include "window_base.h"

void WindowBase::registerClass(const char* className, HBRUSH background, HICON large,
                               HICON small) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = forward;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.hIcon = large;
  windowClass.hIconSm = small;
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
}

HWND WindowBase::create(DWORD exStyle, const char* className, const char* text, DWORD style, int x,
                        int y, int width, int height, HWND parent, HMENU idOrMenu) {
  return CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, idOrMenu,
                         GetModuleHandleA(nullptr), this);
}

LRESULT WindowBase::paintNow() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  paint(dc);
  EndPaint(hwnd_, &ps);
  return 0;
}

LRESULT WindowBase::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return defaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  // The last message may delete the object: it is detached first and not
  // touched afterwards.
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return self->handleMessage(message, wParam, lParam);
}
