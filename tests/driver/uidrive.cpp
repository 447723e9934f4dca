// Command-line face of the UI driver, for scripts:
//   uidrive wait-class <class> <ms>      exit 0 once a visible window of the class is up
//   uidrive close-class <class> <ms>     asks it to close and waits until it is gone
//   uidrive rect-class <class> <ms>      prints the window's left top width height
//   uidrive right-click <class> <ms>     right button released over its picture box
//   uidrive choose-picture <path> <ms>   "手动选择图片", the path confirmed, picture shown
//   uidrive start-build - <ms>           "开始制作"; exit 0 once the busy window is up
//   uidrive answer-message - <ms>        prints the message box's caption and text
//                                        (GBK), presses OK, waits for the busy window to go
//   uidrive idle - <ms>                  stays alive (keeps Wine's helper processes up)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "program_steps.h"
#include "ui_driver.h"

namespace {

constexpr char kMainClass[] = "TarvexForgeMain";
constexpr char kBusyClass[] = "TarvexForgeBusy";

DWORD processOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

int programStep(const char* command, const char* argument, DWORD timeout) {
  HWND main = ui::waitForAnyWindow(kMainClass, nullptr, timeout);
  if (!main) return 1;
  const DWORD processId = processOf(main);
  if (std::strcmp(command, "choose-picture") == 0)
    return ui::takeInThroughDialog(processId, main, argument) ? 0 : 1;
  if (std::strcmp(command, "start-build") == 0) {
    if (!ui::chooseMenuItem(processId, main, VK_HOME)) return 1;
    return ui::waitForWindow(processId, kBusyClass, nullptr, timeout) ? 0 : 1;
  }
  if (std::strcmp(command, "answer-message") == 0) {
    HWND box = ui::waitForWindow(processId, "#32770", nullptr, timeout);
    if (!box) return 1;
    std::printf("%s %s\n", ui::windowText(box).c_str(), ui::messageBoxText(box).c_str());
    HWND busy = ui::waitForWindow(processId, kBusyClass, nullptr, 100);
    ui::pressButton(box, IDOK);
    return !busy || ui::waitUntilGone(busy, timeout) ? 0 : 1;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const DWORD timeout = static_cast<DWORD>(std::atol(argv[3]));
  if (std::strcmp(argv[1], "idle") == 0) {
    Sleep(timeout);
    return 0;
  }
  for (const char* step : {"choose-picture", "start-build", "answer-message"})
    if (std::strcmp(argv[1], step) == 0) return programStep(argv[1], argv[2], timeout);
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
