// Command-line face of the UI driver, for scripts:
//   uidrive wait-class <class> <ms>      exit 0 once a visible window of the class is up
//   uidrive close-class <class> <ms>     asks it to close and waits until it is gone
//   uidrive rect-class <class> <ms>      prints the window's left top width height
//   uidrive right-click <class> <ms>     right button released over its picture box
//   uidrive choose-picture <path> <ms>   "手动选择图片", the path confirmed, picture shown
//   uidrive start-build - <ms>           "开始制作"; exit 0 once the busy window is up
//   uidrive answer-message - <ms>        prints the message box's caption and text
//                                        (GBK), presses OK, waits for the busy window to go
//   uidrive take-in <path> <ms>          as choose-picture; prints the milliseconds from
//                                        the confirmation to the picture shown, or the
//                                        message that came instead (exit 1)
//   uidrive build - <ms>                 "开始制作"; prints the milliseconds to the message
//                                        and the message, then answers it as answer-message
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

unsigned long long millisecondsSince(ULONGLONG start) { return GetTickCount64() - start; }

void printMessage(HWND box) { std::printf("%s %s\n", ui::windowText(box).c_str(), ui::messageBoxText(box).c_str()); }

// The message box up, answered; the busy window (if any) gone.
bool answerMessage(DWORD processId, HWND box, DWORD timeout) {
  printMessage(box);
  HWND busy = ui::waitForWindow(processId, kBusyClass, nullptr, 100);
  ui::pressButton(box, IDOK);
  return !busy || ui::waitUntilGone(busy, timeout);
}

// A picture taken in through the dialog, timed from the confirmation until
// it is shown; a message box instead (a refusal, an error) is printed.
int timedTakeIn(DWORD processId, HWND main, const char* path, DWORD timeout) {
  HWND dialog = ui::openPictureDialog(processId, main);
  if (!dialog) return 1;
  const ULONGLONG start = GetTickCount64();
  ui::confirmDialog(dialog, path);
  HWND box = nullptr;
  ui::waitUntil([&] {
    box = ui::waitForWindow(processId, "#32770", nullptr, 0);
    return box || ui::pictureShown(main);
  }, timeout);
  if (box) {
    printMessage(box);
    return 1;
  }
  if (!ui::pictureShown(main)) return 1;
  std::printf("%llu\n", millisecondsSince(start));
  return 0;
}

// "开始制作" until its message, timed.
int timedBuild(DWORD processId, HWND main, DWORD timeout) {
  if (!ui::chooseMenuItem(processId, main, VK_HOME)) return 1;
  const ULONGLONG start = GetTickCount64();
  HWND box = ui::waitForWindow(processId, "#32770", nullptr, timeout);
  if (!box) return 1;
  std::printf("%llu ", millisecondsSince(start));
  return answerMessage(processId, box, timeout) ? 0 : 1;
}

int programStep(const char* command, const char* argument, DWORD timeout) {
  HWND main = ui::waitForAnyWindow(kMainClass, nullptr, timeout);
  if (!main) return 1;
  const DWORD processId = processOf(main);
  if (std::strcmp(command, "choose-picture") == 0)
    return ui::takeInThroughDialog(processId, main, argument, timeout) ? 0 : 1;
  if (std::strcmp(command, "take-in") == 0) return timedTakeIn(processId, main, argument, timeout);
  if (std::strcmp(command, "build") == 0) return timedBuild(processId, main, timeout);
  if (std::strcmp(command, "start-build") == 0) {
    if (!ui::chooseMenuItem(processId, main, VK_HOME)) return 1;
    return ui::waitForWindow(processId, kBusyClass, nullptr, timeout) ? 0 : 1;
  }
  if (std::strcmp(command, "answer-message") == 0) {
    HWND box = ui::waitForWindow(processId, "#32770", nullptr, timeout);
    return box && answerMessage(processId, box, timeout) ? 0 : 1;
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
  for (const char* step : {"choose-picture", "start-build", "answer-message", "take-in", "build"})
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
