#pragma once
// The one forwarding point from Win32 to our objects: each window class
// registered here stores its object in GWLP_USERDATA on WM_NCCREATE and
// passes every message to handleMessage.
#include <windows.h>

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() = default;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once per process (background brush may be null).
  // Class names and texts are GBK, as every text of the program; the
  // windows are Unicode windows.
  static void registerClass(const char* className, HBRUSH background, HICON large = nullptr,
                            HICON small = nullptr);
  HWND create(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y,
              int width, int height, HWND parent, HMENU idOrMenu);
  virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
  // WM_PAINT: calls paint() between BeginPaint and EndPaint.
  LRESULT paintNow();
  virtual void paint(HDC) {}

 private:
  static LRESULT CALLBACK forward(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};
