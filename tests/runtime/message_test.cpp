#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "arithmetic.h"
#include "fatal_error.h"
#include "files.h"
#include "message.h"
#include "special_folder.h"
#include "test_folder.h"
#include "ui_driver.h"

namespace {

// Larger than the address space of the process (as in runtime_child).
constexpr std::size_t kUnallocatable =
    sizeof(void*) == 4 ? std::size_t{0x7FFFFFF0} : std::size_t(0x7FFFFFF00000ull);

struct SeenBox {
  std::string caption, text;
  LONG exStyle = 0;
};

// Shows a box on this thread while a second thread finds it, records what
// it shows and presses `button`, pressing again until the box has gone so
// that a press that came too early cannot leave the test hanging.
std::pair<int, SeenBox> showAndPress(std::optional<Text> caption, unsigned style, int button) {
  SeenBox seen;
  std::atomic<bool> answered{false};
  std::thread presser([&] {
    while (!answered) {
      HWND box = ui::waitForWindow(GetCurrentProcessId(), "#32770", nullptr, 200);
      if (box && ui::messageBoxText(box) == "内容") {
        seen = {ui::windowText(box), ui::messageBoxText(box), GetWindowLongA(box, GWL_EXSTYLE)};
        ui::pressButton(box, button);
      }
      Sleep(100);
    }
  });
  const int result = showMessage("内容", style, caption);
  answered = true;
  presser.join();
  return {result, seen};
}

// Runs runtime_child in a mode that ends in a fatal-error box; returns the
// box text and the exit code after the box has been dismissed.
std::pair<std::string, DWORD> fatalBoxOf(const std::string& arguments) {
  ui::Process child(quoted(childProgram()) + " " + arguments);
  if (!child.ok()) return {"not started", 0};
  HWND box = ui::waitForWindow(child.id(), "#32770", "错误");
  std::string text = box ? ui::messageBoxText(box) : "no box";
  if (box) ui::pressButton(box, IDOK);
  return {text, child.waitForExit()};
}

}  // namespace

TEST(ShowMessage, StyleCompositionAndResultMapping) {
  EXPECT_EQ(messageBoxStyle(0), 0x2000u);
  EXPECT_EQ(messageBoxStyle(0x40), 0x2040u);
  EXPECT_EQ(messageBoxStyle(0x1020), 0x1020u);  // system-modal, no task-modal
  EXPECT_EQ(messageResult(IDOK), 0);
  EXPECT_EQ(messageResult(IDCANCEL), 1);
  EXPECT_EQ(messageResult(IDNO), 6);
  EXPECT_EQ(messageResult(0), 0);
  EXPECT_EQ(messageResult(99), 0);
}

TEST(ShowMessage, DefaultCaptionAndPressedButton) {
  auto [result, seen] = showAndPress(std::nullopt, MB_OKCANCEL, IDCANCEL);
  EXPECT_EQ(seen.caption, "信息：");
  EXPECT_EQ(seen.text, "内容");
  EXPECT_EQ(result, 1);
  auto [okResult, okSeen] = showAndPress(Text("Tarvex Forge"), 0x40, IDOK);
  EXPECT_EQ(okSeen.caption, "Tarvex Forge");
  EXPECT_EQ(okResult, 0);
}

TEST(ShowMessage, SystemModalBoxStaysOnTop) {
  auto [result, seen] = showAndPress(Text("t"), MB_SYSTEMMODAL, IDOK);
  EXPECT_TRUE(seen.exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(result, 0);
}

TEST(FatalError, ComposesTheReportText) {
  EXPECT_EQ(fatalErrorText(0, ""), "运行时出错!\r\n\r\n");
  EXPECT_EQ(fatalErrorText(0, "载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(fatalErrorText(-5, "m"), "运行时出错!\r\n\r\n错误代码：-5\r\n\r\n错误信息：m\r\n");
}

TEST(FatalError, ShowsItsBoxThenEndsWithMinusOne) {
  auto [text, exitCode] = fatalBoxOf("fatal 12 \"出错了\"");
  EXPECT_EQ(text, "运行时出错!\r\n\r\n错误代码：12\r\n\r\n错误信息：出错了\r\n");
  EXPECT_EQ(exitCode, 0xFFFFFFFFu);
}

TEST(FatalError, RaisedByBufferAllocationAndDivisionByZeroOnly) {
  auto [allocText, allocExit] = fatalBoxOf("alloc");
  EXPECT_EQ(allocText, "运行时出错!\r\n\r\n错误信息：分配 " + std::to_string(kUnallocatable) +
                           " 字节内存失败!\r\n");
  EXPECT_EQ(allocExit, 0xFFFFFFFFu);
  auto [remainderText, remainderExit] = fatalBoxOf("remainder");
  EXPECT_EQ(remainderText, "运行时出错!\r\n\r\n错误信息：不能求余数于零\r\n");
  EXPECT_EQ(remainderExit, 0xFFFFFFFFu);
  // Other code's failed allocations stay ordinary failures.
  ui::Process plain(quoted(childProgram()) + " newfail");
  EXPECT_EQ(plain.waitForExit(), 3u);
}

TEST(RemainderOf, KeepsTheSignOfTheDividend) {
  EXPECT_DOUBLE_EQ(remainderOf(10, 4), 2);
  EXPECT_DOUBLE_EQ(remainderOf(-10, 4), -2);
  EXPECT_DOUBLE_EQ(remainderOf(10, -4), 2);
  EXPECT_DOUBLE_EQ(remainderOf(5.5, 2), 1.5);
}

TEST(SpecialFolder, DesktopEndsWithASeparator) {
  EXPECT_EQ(withTrailingBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(withTrailingBackslash("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(withTrailingBackslash(""), "");
  const Text desktop = specialFolder(kDesktopFolder);
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(desktop.back(), '\\');
  EXPECT_TRUE(fileExists(desktop.substr(0, desktop.size() - 1)));
  EXPECT_EQ(specialFolder(99), "");
}
