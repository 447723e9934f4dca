#include <gtest/gtest.h>

#include "files.h"
#include "program_under_test.h"
#include "working_files.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }

std::string fileNameIn(HWND dialog) {
  char text[512] = {};
  GetWindowTextA(GetDlgItem(dialog, 1148), text, sizeof text);
  return text;
}

class IntakeUiTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program.started()); }
  ProgramUnderTest program;
};

}  // namespace

TEST_F(IntakeUiTest, APictureChosenInTheDialogIsShownAndCancellingChangesNothing) {
  HWND dialog = openPictureDialog(program);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(fileNameIn(dialog), "");  // nothing the first time
  ui::confirmDialog(dialog, fixture("intake1024x768.png"));
  // Generous time-outs: CI runs the fuzzers' native build alongside.
  EXPECT_TRUE(ui::waitUntil([&] { return fileExists(program.workingFile(kPngCopy)); }, 20000));
  EXPECT_EQ(readFileBytes(program.workingFile(kPngCopy)).view(),
            readFileBytes(fixture("intake1024x768.png")).view());
  HWND box = ui::findChild(program.mainWindow(), "TarvexForgePictureBox");
  EXPECT_TRUE(ui::waitUntil([&] { return ui::middleOf(box) != GetSysColor(COLOR_BTNFACE); }, 20000));


  // Cancelling changes nothing. (That the dialog is asked to reopen on the
  // last path is checked in process: Wine's dialog does not show a
  // preset file name, so it cannot be seen from here.)
  dialog = openPictureDialog(program);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(ui::waitUntilGone(dialog));
  EXPECT_EQ(program.window("#32770", 800), nullptr);  // no message
  EXPECT_TRUE(fileExists(program.workingFile(kPngCopy)));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(IntakeUiTest, RefusedPicturesShowTheirMessages) {
  const std::string refused = program.inFolder("宽1023.png");  // a path on C: with GBK text
  ASSERT_TRUE(copyFile(fixture("intake1023x768.png"), refused));
  HWND dialog = openPictureDialog(program);
  ASSERT_NE(dialog, nullptr);
  ui::confirmDialog(dialog, refused);
  HWND box = program.window("#32770", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ui::windowText(box), "Tarvex Forge");
  EXPECT_EQ(ui::messageBoxText(box), "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！");
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  // The copies are deleted once the message has been answered.
  EXPECT_TRUE(ui::waitUntil([&] { return !fileExists(program.workingFile(kJpegCopy)); }));
  EXPECT_FALSE(fileExists(program.workingFile(kPngCopy)));

  dialog = openPictureDialog(program);
  ASSERT_NE(dialog, nullptr);
  ui::confirmDialog(dialog, fixture("intake.heic"));
  box = program.window("#32770", 10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ui::messageBoxText(box), "不支持的文件格式！");
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

// A program folder that takes no working copy: one that refuses writes
// (under "C:\\Program Files" for a standard user, protected by controlled
// folder access, read-only media) refuses every picture, one on a full disk
// a picture whose copies do not fit; the message names the true reason,
// no copy is left and the picture box is emptied. The folders come from the
// CTest fixture unusual_program_folders: one made immutable (chattr +i:
// Wine lets root write anywhere else), one on a 6 MB disk (tmpfs) that
// holds the program and its carried tools.
struct RefusingFolder {
  const char* folder;
  const char* first;  // a picture taken in before, or none
  const char* picture;
  const char* message;
};

TEST(ProgramFolders, ThatTakeNoWorkingCopyNameTheReason) {
  const RefusingFolder rows[] = {
      {TF_READONLY_PROGRAM, nullptr, "intake1024x768.png",
       "本程序所在的文件夹不能写入文件！\r\n请把本程序放到您自己的文件夹中再运行。"},
      {TF_FULL_DISKS "\\program", "intake.jpg", "intakenoise.jpg",
       "本程序所在的磁盘空间不足，无法写入图片的工作文件！\r\n请清理磁盘后重试。"}};
  ASSERT_FALSE(folderTakesNewFiles(TF_READONLY_PROGRAM))
      << TF_READONLY_PROGRAM << " takes new files: run with its fixture (as root, on a file system with chattr)";
  for (const RefusingFolder& row : rows) {
    SCOPED_TRACE(row.folder);
    ProgramUnderTest program(ProgramUnderTest::InPlace{row.folder});
    ASSERT_TRUE(program.started());
    if (row.first) {
      ASSERT_TRUE(takeInThroughDialog(program, fixture(row.first)));
    }
    HWND dialog = openPictureDialog(program);
    ASSERT_NE(dialog, nullptr);
    ui::confirmDialog(dialog, fixture(row.picture));
    HWND box = program.window("#32770", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::windowText(box), "Tarvex Forge");
    EXPECT_EQ(ui::messageBoxText(box), row.message);
    ui::pressButton(box, IDOK);
    ui::waitUntilGone(box);
    for (const char* name : {kJpegCopy, kPngCopy})
      EXPECT_TRUE(ui::waitUntil([&] { return !fileExists(program.workingFile(name)); }, 5000)) << name;
    // The message covered the box's middle until the main window repaints.
    EXPECT_TRUE(ui::waitUntil([&] { return !pictureShown(program); }, 5000));
    EXPECT_EQ(program.closeAndWaitForExit(), 0u);
  }
}
