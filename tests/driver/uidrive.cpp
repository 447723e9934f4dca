// Command-line face of the UI driver, for scripts:
//   uidrive wait-class <class> <ms>    exit 0 once a visible window of the class is up
//   uidrive close-class <class> <ms>   asks it to close and waits until it is gone
//   uidrive rect-class <class> <ms>     prints the window's left top width height
//   uidrive right-click <class> <ms>    right button released over its picture box
//   uidrive idle - <ms>                 stays alive (keeps Wine's helper processes up)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui_driver.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const DWORD timeout = static_cast<DWORD>(std::atol(argv[3]));
  if (std::strcmp(argv[1], "idle") == 0) {
    Sleep(timeout);
    return 0;
  }
  HWND window = ui::waitForAnyWindow(argv[2], nullptr, timeout);
  if (std::strcmp(argv[1], "wait-class") == 0) return window ? 0 : 1;
  if (std::strcmp(argv[1], "rect-class") == 0) {
    if (!window) return 1;
    const RECT r = ui::windowRect(window);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (std::strcmp(argv[1], "right-click") == 0) {
    if (!window) return 1;
    ui::releaseRightButton(ui::findChild(window, "TarvexForgePictureBox"));
    return 0;
  }
  if (std::strcmp(argv[1], "close-class") == 0) {
    if (!window) return 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return ui::waitUntilGone(window, timeout) ? 0 : 1;
  }
  return 2;
}
