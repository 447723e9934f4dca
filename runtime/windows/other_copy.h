#pragma once
// The windows of another running copy of the program, as a second start
// finds them to bring them to the front.
#include <windows.h>

// The window that the process shows in front: a message box of its, else
// another enabled window of its (the busy window, a dialog: its main
// window is disabled under them), else its main window. Null when it shows
// no window.
HWND frontWindowOfProcess(DWORD processId);

// Brings the window to the front, restored first where it was minimized.
void bringToFront(HWND window);
