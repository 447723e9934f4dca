#pragma once
// Small windows made of the window layer's own pieces, for the tests of
// the layers that work on units by handle (the intake, the builder) and of
// the layer itself: a window with the main window's picture box, progress
// bar and file dialog, and a modal window like the busy one. None of the
// program's windows is involved.
#include "window.h"

// Picture box at (2, 0, 545, 355) as in the program, progress bar at
// position 100, a file dialog.
const WindowLayout& unitsWindowLayout();
// A plain popup window, loaded modally by tests as the busy window is.
const WindowLayout& modalWindowLayout();

// The open units window (loaded by the test with the events it needs).
Window* unitsWindow();
HWND unitsPictureBox();
HWND unitsProgressBar();
