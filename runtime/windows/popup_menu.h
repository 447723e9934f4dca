#pragma once
// The popup menu unit: items with run-time states, built afresh as a
// Win32 menu for every showing.
#include <windows.h>

#include <vector>

#include "layout.h"

struct MenuItem {
  const char* caption;
  int command;
  bool checked = false, disabled = false, visible = true;
  bool isSeparator() const;
};

class PopupMenu {
 public:
  explicit PopupMenu(const PopupMenuLayout& layout);
  MenuItem* item(int command);
  // A new Win32 popup menu from the items' current states (caller destroys).
  HMENU build() const;
  // The menu's WM_COMMAND id of an item's command, and back (0: none).
  static UINT commandId(int command) { return kFirstId + static_cast<UINT>(command); }
  int commandOf(UINT id) const;

 private:
  static constexpr UINT kFirstId = 100;
  std::vector<MenuItem> items_;
};
