#include "popup_menu.h"

#include "wide_text.h"

#include <cstring>

bool MenuItem::isSeparator() const { return std::strcmp(caption, "-") == 0; }

PopupMenu::PopupMenu(const PopupMenuLayout& layout) {
  for (const MenuItemLayout& entry : layout.items) items_.push_back({entry.caption, entry.command});
}

MenuItem* PopupMenu::item(int command) {
  for (MenuItem& entry : items_)
    if (entry.command == command && !entry.isSeparator()) return &entry;
  return nullptr;
}

HMENU PopupMenu::build() const {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& entry : items_) {
    if (!entry.visible) continue;
    if (entry.isSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (entry.disabled ? MF_GRAYED : MF_ENABLED) |
                 (entry.checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuW(menu, flags, commandId(entry.command), widen(entry.caption).c_str());
  }
  return menu;
}

int PopupMenu::commandOf(UINT id) const {
  for (const MenuItem& entry : items_)
    if (!entry.isSeparator() && commandId(entry.command) == id) return entry.command;
  return 0;
}
