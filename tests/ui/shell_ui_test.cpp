#include <gtest/gtest.h>
#include <commctrl.h>

#include "program_under_test.h"

namespace {

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

// A unit's rectangle in its window's client coordinates.
void expectUnitAt(HWND unit, int left, int top, int w, int h) {
  const RECT r = ui::rectInParent(unit);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(width(r), w);
  EXPECT_EQ(height(r), h);
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program.started()) << "the main window did not appear"; }
  ProgramUnderTest program;
};

}  // namespace

TEST_F(ShellTest, MainWindowFrameSizeAndUnits) {
  HWND main = program.mainWindow();
  const RECT outer = ui::windowRect(main);
  EXPECT_EQ(width(outer), 555);
  EXPECT_EQ(height(outer), 406);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 555) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 436) / 2);  // centred for 436
  EXPECT_EQ(ui::windowText(main), "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge");
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(GetMenu(main), nullptr);  // no menu bar

  HWND box = ui::findChild(main, "TarvexForgePictureBox");
  ASSERT_NE(box, nullptr);
  expectUnitAt(box, 2, 0, 545, 355);
  EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_BORDER);

  HWND bar = ui::findChild(main, PROGRESS_CLASSA);
  ASSERT_NE(bar, nullptr);
  expectUnitAt(bar, 2, 359, 545, 15);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);  // full before any build
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
}

TEST_F(ShellTest, AboutIsModalClosesOnEscapeAndGivesBackTheMainWindow) {
  ASSERT_TRUE(chooseMenuItem(program, VK_END));  // "关于", the last item
  HWND about = program.window(kAboutClass);
  ASSERT_NE(about, nullptr);
  const RECT outer = ui::windowRect(about);
  EXPECT_EQ(width(outer), 375);
  EXPECT_EQ(height(outer), 123);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 375) / 2);
  EXPECT_EQ(ui::windowText(about), "关于");
  EXPECT_EQ(GetWindowLongA(about, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  // The others are disabled right after the window is shown.
  EXPECT_TRUE(ui::waitUntil([&] { return !IsWindowEnabled(program.mainWindow()); }, 3000));

  HWND label = ui::findChild(about, "TarvexForgeLabel");
  ASSERT_NE(label, nullptr);
  const std::string text = ui::windowText(label);
  EXPECT_EQ(text.rfind("1、", 0), 0u);
  EXPECT_NE(text.find("\r\n4、本软件只能制作图片的高和宽是4的倍数的图片！\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n5、开始制作后，会有一段时间等待，这取决于你的图片大小和电脑配置！"),
            std::string::npos);

  ui::pressKey(about, VK_ESCAPE);
  EXPECT_TRUE(ui::waitUntilGone(about, 5000));
  EXPECT_TRUE(IsWindowEnabled(program.mainWindow()));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(ShellTest, StartIsGrayedWithoutAPictureAndCannotBeChosen) {
  ASSERT_TRUE(chooseMenuItem(program, VK_HOME));  // "开始制作", the first item
  EXPECT_EQ(program.window(kBusyClass, 1500), nullptr);
  if (HWND menu = ui::waitForPopupMenu(program.processId(), 200)) ui::pressKey(menu, VK_ESCAPE);
  EXPECT_TRUE(IsWindowEnabled(program.mainWindow()));
}

TEST_F(ShellTest, RightButtonOverTheProgressBarOpensNoMenu) {
  ui::releaseRightButton(ui::findChild(program.mainWindow(), PROGRESS_CLASSA));
  EXPECT_EQ(ui::waitForPopupMenu(program.processId(), 1500), nullptr);
  POINT cursor;
  GetCursorPos(&cursor);
  ui::releaseRightButton(ui::findChild(program.mainWindow(), "TarvexForgePictureBox"));
  HWND menu = ui::waitForPopupMenu(program.processId());
  ASSERT_NE(menu, nullptr);
  const RECT at = ui::windowRect(menu);  // 3 pixels right of and below the cursor
  EXPECT_EQ(at.left, cursor.x + 3);
  EXPECT_EQ(at.top, cursor.y + 3);
  ui::pressKey(menu, VK_ESCAPE);
}

TEST_F(ShellTest, EscapeInTheMainWindowDoesNothingAndClosingEndsWithZero) {
  ui::pressKey(program.mainWindow(), VK_ESCAPE);
  Sleep(800);
  EXPECT_TRUE(IsWindow(program.mainWindow()));
  EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}
