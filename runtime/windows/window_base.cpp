#include "window_base.h"

#include <string>

#include "wide_text.h"

void WindowBase::registerClass(const char* className, HBRUSH background, HICON large,
                               HICON small) {
  const std::wstring name = widen(className);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = forward;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.hIcon = large;
  windowClass.hIconSm = small;
  windowClass.lpszClassName = name.c_str();
  RegisterClassExW(&windowClass);
}

HWND WindowBase::create(DWORD exStyle, const char* className, const char* text, DWORD style, int x,
                        int y, int width, int height, HWND parent, HMENU idOrMenu) {
  return CreateWindowExW(exStyle, widen(className).c_str(), widen(text).c_str(), style, x, y, width, height,
                         parent, idOrMenu, GetModuleHandleW(nullptr), this);
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
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // The last message may delete the object: it is detached first and not
  // touched afterwards.
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return self->handleMessage(message, wParam, lParam);
}
