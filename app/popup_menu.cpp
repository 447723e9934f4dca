#include "popup_menu.h"

#include <cstring>

bool MenuItem::isSeparator() const { return std::strcmp(caption, "-") == 0; }

PopupMenu::PopupMenu(const PopupMenuLayout& layout) {
  for (const MenuItemLayout& entry : layout.items) items_.push_back({entry.caption, entry.command});
}

MenuItem* PopupMenu::item(MenuCommand command) {
  for (MenuItem& entry : items_)
    if (entry.command == command && !entry.isSeparator()) return &entry;
  return nullptr;
}

HMENU PopupMenu::build() const {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& entry : items_) {
    if (!entry.visible) continue;
    if (entry.isSeparator()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (entry.disabled ? MF_GRAYED : MF_ENABLED) |
                 (entry.checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuA(menu, flags, commandId(entry.command), entry.caption);
  }
  return menu;
}

MenuCommand PopupMenu::commandOf(UINT id) {
  if (id < 100 || id > 100 + static_cast<UINT>(MenuCommand::About)) return MenuCommand::None;
  return static_cast<MenuCommand>(id - 100);
}
