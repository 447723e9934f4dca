#pragma once
// The popup menu unit: items with run-time states, built afresh as a
// Win32 menu for every showing.
#include <windows.h>

#include <vector>

#include "layout.h"

struct MenuItem {
  const char* caption;
  MenuCommand command;
  bool checked = false, disabled = false, visible = true;
  bool isSeparator() const;
};

class PopupMenu {
 public:
  explicit PopupMenu(const PopupMenuLayout& layout);
  MenuItem* item(MenuCommand command);
  const std::vector<MenuItem>& items() const { return items_; }
  // A new Win32 popup menu from the items' current states (caller destroys).
  HMENU build() const;
  static UINT commandId(MenuCommand command) { return 100 + static_cast<UINT>(command); }
  static MenuCommand commandOf(UINT id);

 private:
  std::vector<MenuItem> items_;
};
