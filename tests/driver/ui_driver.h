#pragma once
// Drives the program from outside, as a user would: starts a process, finds
// its windows and message boxes, reads their texts and presses buttons.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "handles.h"

namespace ui {

class Process {
 public:
  // Starts the command line; `ok()` tells whether it was created.
  explicit Process(const std::string& commandLine);
  bool ok() const { return static_cast<bool>(process_); }
  DWORD id() const { return id_; }
  // The exit code, or STILL_ACTIVE after the time-out (the process is then
  // terminated so that no test leaves a program behind).
  DWORD waitForExit(DWORD timeoutMs = 15000);
  ~Process();

 private:
  KernelHandle process_;
  DWORD id_ = 0;
};

// The first visible top-level window of the process with the class and
// (when not null) title, waiting up to `timeoutMs`; NULL when none appears.
HWND waitForWindow(DWORD processId, const char* className, const char* title,
                   DWORD timeoutMs = 10000);

// The same for a window of any process.
HWND waitForAnyWindow(const char* className, const char* title, DWORD timeoutMs = 10000);
// True once the window has been destroyed.
bool waitUntilGone(HWND window, DWORD timeoutMs = 10000);

// True once the condition holds, polling until the time-out.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

std::string windowText(HWND window);
RECT windowRect(HWND window);  // screen coordinates, frame included
// A unit's rectangle in its parent's client coordinates.
RECT rectInParent(HWND child);
// The first child window of the class, or NULL.
HWND findChild(HWND parent, const char* className);
// Right mouse button released over the middle of a control.
void releaseRightButton(HWND control);
// A key pressed and released, posted to the window.
void pressKey(HWND window, int virtualKey);
// Keys as a user types them, to the foreground window (SendInput): each
// pressed and released in turn, `held` (Shift, say) down around them all.
// A posted key carries no Shift state, and Windows turns only typed ones
// into WM_CONTEXTMENU.
void typeKeys(std::initializer_list<WORD> keys, WORD held = 0);
// The process's open popup menu (class #32768), or NULL after the time-out.
HWND waitForPopupMenu(DWORD processId, DWORD timeoutMs = 5000);
std::string className(HWND window);
// The text of a standard message box (its static control 0xFFFF).
std::string messageBoxText(HWND box);
// Clicks a dialog button by control id (IDOK, IDCANCEL, ...).
void pressButton(HWND dialog, int buttonId);

}  // namespace ui
