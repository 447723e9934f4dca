#include <gtest/gtest.h>

#include "files.h"
#include "program_under_test.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }

// The open-file dialog: a dialog of the program with the file-name box.
HWND waitForOpenDialog(const ProgramUnderTest& program) {
  HWND dialog = nullptr;
  ui::waitUntil([&] {
    dialog = program.window("#32770", 100);
    return dialog && GetDlgItem(dialog, 1148);
  }, 10000);
  return dialog;
}

std::string fileNameIn(HWND dialog) {
  char text[512] = {};
  GetWindowTextA(GetDlgItem(dialog, 1148), text, sizeof text);
  return text;
}

// "手动选择图片" (one above the last item), then the path confirmed.
HWND openDialog(const ProgramUnderTest& program) {
  ui::releaseRightButton(ui::findChild(program.mainWindow(), "TarvexForgePictureBox"));
  HWND menu = ui::waitForPopupMenu(program.processId());
  if (!menu) return nullptr;
  ui::pressKey(menu, VK_END);
  ui::pressKey(menu, VK_UP);
  ui::pressKey(menu, VK_RETURN);
  return waitForOpenDialog(program);
}

void confirm(HWND dialog, const std::string& path) {
  SetWindowTextA(GetDlgItem(dialog, 1148), path.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ui::waitUntilGone(dialog, 10000);
}

COLORREF middleOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return colour;
}

class IntakeUiTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program.started()); }
  std::string inProgramFolder(const char* name) { return program.folder() / name; }
  ProgramUnderTest program;
};

}  // namespace

TEST_F(IntakeUiTest, APictureChosenInTheDialogIsShownAndCanBeBuilt) {
  HWND dialog = openDialog(program);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(fileNameIn(dialog), "");  // nothing the first time
  confirm(dialog, fixture("intake1024x768.png"));
  // Generous time-outs: CI runs the fuzzers' native build alongside.
  EXPECT_TRUE(ui::waitUntil([&] { return fileExists(inProgramFolder("TarvexForge.png")); }, 20000));
  EXPECT_EQ(readFileBytes(inProgramFolder("TarvexForge.png")).view(),
            readFileBytes(fixture("intake1024x768.png")).view());
  HWND box = ui::findChild(program.mainWindow(), "TarvexForgePictureBox");
  EXPECT_TRUE(ui::waitUntil([&] { return middleOf(box) != GetSysColor(COLOR_BTNFACE); }, 20000));

  // "开始制作" is enabled now: choosing it opens the busy window.
  ASSERT_TRUE(chooseMenuItem(program, VK_HOME));
  HWND busy = program.window(kBusyClass, 15000);
  ASSERT_NE(busy, nullptr);
  ui::pressKey(busy, VK_ESCAPE);
  EXPECT_TRUE(ui::waitUntilGone(busy));

  // Cancelling changes nothing. (That the dialog is asked to reopen on the
  // last path is checked in process: Wine's dialog does not show a
  // preset file name, so it cannot be seen from here.)
  dialog = openDialog(program);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(ui::waitUntilGone(dialog));
  EXPECT_EQ(program.window("#32770", 800), nullptr);  // no message
  EXPECT_TRUE(fileExists(inProgramFolder("TarvexForge.png")));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(IntakeUiTest, RefusedPicturesShowTheirMessages) {
  const std::string refused = program.folder() / "宽1023.png";  // a path on C: with GBK text
  ASSERT_TRUE(copyFile(fixture("intake1023x768.png"), refused));
  HWND dialog = openDialog(program);
  ASSERT_NE(dialog, nullptr);
  confirm(dialog, refused);
  HWND box = program.window("#32770", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ui::windowText(box), "Tarvex Forge");
  EXPECT_EQ(ui::messageBoxText(box), "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！");
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  EXPECT_FALSE(fileExists(inProgramFolder("TarvexForge.jpg")));
  EXPECT_FALSE(fileExists(inProgramFolder("TarvexForge.png")));

  dialog = openDialog(program);
  ASSERT_NE(dialog, nullptr);
  confirm(dialog, fixture("intake.jpeg"));
  box = program.window("#32770", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ui::messageBoxText(box), "不支持的文件格式！");
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}
