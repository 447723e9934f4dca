#pragma once
// The events a window raises, each with at most one handler, handed to the
// window when it is built: its own and those of its units. An event without
// a handler does nothing.
#include <vector>

#include "text.h"

struct MenuBinding {
  int command;      // of a popup-menu item (MenuItemLayout::command)
  void (*chosen)();
};

struct WindowEvents {
  void (*created)() = nullptr;             // units exist, not yet shown
  bool (*mayClose)() = nullptr;            // false keeps the window open
  void (*aboutToBeDestroyed)() = nullptr;  // units still exist
  std::vector<MenuBinding> menuItems{};
  void (*pictureRightButtonUp)(int x, int y, int keys) = nullptr;
  // The context-menu key or Shift+F10 in the window (Windows' WM_CONTEXTMENU
  // at -1, -1); a WM_CONTEXTMENU of the mouse raises nothing.
  void (*menuKey)() = nullptr;
  // Raised by the drop target that the program attaches to the window's
  // picture box (the layer itself has none).
  void (*filesDropped)(const Text& paths) = nullptr;
  // Windows logs off or shuts down: may it (false asks it to wait), and
  // it does, now (the process is ended when the handler returns).
  bool (*sessionMayEnd)() = nullptr;
  void (*sessionEnding)() = nullptr;
};
