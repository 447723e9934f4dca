#include "program_windows.h"

#include "ui_requests.h"

bool loadWindow(WindowId id, HWND parent, bool modal) {
  return loadWindow(layoutOf(id), windowEventsOf(id), parent, modal);
}

Window* openWindow(WindowId id) { return openWindow(layoutOf(id)); }

HWND windowHandle(WindowId id) {
  const Window* window = openWindow(id);
  return window ? window->hwnd() : nullptr;
}

void closeWindow(WindowId id, bool atOnce) {
  Window* window = openWindow(id);
  if (!window) return;  // already gone: nothing to close
  if (atOnce) window->destroy();
  else requestClose(window->hwnd());
}
