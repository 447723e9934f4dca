// The program's layouts as the window layer draws and builds them: the
// labels' drawing flags and wrapping, the popup menu's items.
#include <gtest/gtest.h>

#include <cstring>

#include "label.h"
#include "popup_menu.h"
#include "program_windows.h"

TEST(LabelDrawing, FlagsFollowWrappingAndAlignment) {
  const LabelLayout& about = layoutOf(WindowId::About).labels.front();
  EXPECT_EQ(labelDrawFlags(about), UINT(DT_NOPREFIX | DT_LEFT | DT_WORDBREAK));
  const LabelLayout& busy = layoutOf(WindowId::Busy).labels.front();
  EXPECT_EQ(labelDrawFlags(busy), UINT(DT_NOPREFIX | DT_LEFT | DT_SINGLELINE | DT_VCENTER));
  LabelLayout right = busy;
  right.align = HorizontalAlign::Right;
  right.verticalAlign = VerticalAlign::Bottom;
  EXPECT_EQ(labelDrawFlags(right), UINT(DT_NOPREFIX | DT_RIGHT | DT_SINGLELINE | DT_BOTTOM));
}

TEST(LabelDrawing, AboutTextIsFiveLinesWithTheFifthWrapped) {
  const LabelLayout& about = layoutOf(WindowId::About).labels.front();
  int lineBreaks = 0;
  for (const char* p = about.text; (p = std::strstr(p, "\r\n")); p += 2) ++lineBreaks;
  EXPECT_EQ(lineBreaks, 4);
  const char* fifth = std::strrchr(about.text, '\n') + 1;
  EXPECT_EQ(std::strncmp(fifth, "5、", std::strlen("5、")), 0);

  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontA(about.font.height, 0, 0, 0, about.font.weight, 0, 0, 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, about.font.face);
  HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICA metrics;
  GetTextMetricsA(screen, &metrics);
  RECT all{0, 0, about.rect.width, 0};
  DrawTextA(screen, about.text, -1, &all, labelDrawFlags(about) | DT_CALCRECT);
  RECT fifthOnly{0, 0, about.rect.width, 0};
  DrawTextA(screen, fifth, -1, &fifthOnly, labelDrawFlags(about) | DT_CALCRECT);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(fifthOnly.bottom / metrics.tmHeight, 2);  // the fifth line wraps once
  EXPECT_EQ(all.bottom / metrics.tmHeight, 6);
  EXPECT_LE(all.bottom, about.rect.height);            // and all of it fits the label
}

TEST(PopupMenu, IsBuiltAfreshFromTheItemStates) {
  PopupMenu menu(*layoutOf(WindowId::Main).popupMenu);
  menu.item(MenuCommand::Start)->disabled = true;
  HMENU built = menu.build();
  ASSERT_EQ(GetMenuItemCount(built), 5);
  char caption[64];
  GetMenuStringA(built, 0, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_STREQ(caption, "开始制作");
  EXPECT_TRUE(GetMenuState(built, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(built, 1, MF_BYPOSITION) & MF_SEPARATOR);
  GetMenuStringA(built, 2, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_STREQ(caption, "手动选择图片");
  EXPECT_FALSE(GetMenuState(built, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(built, 3, MF_BYPOSITION) & MF_SEPARATOR);
  GetMenuStringA(built, 4, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_STREQ(caption, "关于");
  EXPECT_EQ(GetMenuItemID(built, 4), PopupMenu::commandId(MenuCommand::About));
  DestroyMenu(built);

  menu.item(MenuCommand::Start)->disabled = false;
  built = menu.build();
  EXPECT_FALSE(GetMenuState(built, 0, MF_BYPOSITION) & MF_GRAYED);
  DestroyMenu(built);
}
