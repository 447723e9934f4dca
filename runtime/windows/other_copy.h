#pragma once
// The windows of another running copy of the program, as a second start
// finds them to bring them to the front.
#include <windows.h>

#include "text.h"

// The window that another copy running from `folder` (its executable's
// folder, compared as folderKey compares) shows in front: a message box of
// its, else another enabled window of its (the busy window, a dialog: its
// main window is disabled under them), else its main window. Null when no
// other copy there shows a window.
HWND frontWindowOfCopyIn(const Text& folder);

// Brings the window to the front, restored first where it was minimized.
void bringToFront(HWND window);
