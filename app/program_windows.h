#pragma once
// The program's windows by name: each loaded from its layout with the
// events the binding table in force gives it.
#include "layouts.h"
#include "window.h"

// The events of each window: the program's binding table, or a test's that
// links its own (defined apart from the windows for that reason).
const WindowEvents& windowEventsOf(WindowId id);

bool loadWindow(WindowId id, HWND parent = nullptr, bool modal = false);
// The open window, or null (UI thread).
Window* openWindow(WindowId id);
HWND windowHandle(WindowId id);
// Posts a close request (carried out by the owning thread, without the
// may-close event); with atOnce, destroys it now (owning thread only).
void closeWindow(WindowId id, bool atOnce = false);
