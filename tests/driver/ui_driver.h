#pragma once
// Drives the program from outside, as a user would: starts a process, finds
// its windows and message boxes, reads their texts and presses buttons.
#include <windows.h>

#include <string>

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

std::string windowText(HWND window);
std::string className(HWND window);
// The text of a standard message box (its static control 0xFFFF).
std::string messageBoxText(HWND box);
// Clicks a dialog button by control id (IDOK, IDCANCEL, ...).
void pressButton(HWND dialog, int buttonId);

}  // namespace ui
