#include "program_under_test.h"

#include "files.h"

ProgramUnderTest::ProgramUnderTest(const std::function<void(const TestFolder&)>& prepare) {
  if (prepare) prepare(folder_);
  const std::string copy = folder_ / "TarvexForge.exe";
  copyFile(testProgramFolder() + "\\TarvexForge.exe", copy);
  process_ = std::make_unique<ui::Process>(quoted(copy));
  if (process_->ok()) mainWindow_ = ui::waitForWindow(process_->id(), kMainClass, nullptr, 20000);
}

HWND ProgramUnderTest::window(const char* className, DWORD ms) const {
  return ui::waitForWindow(process_->id(), className, nullptr, ms);
}

DWORD ProgramUnderTest::closeAndWaitForExit() {
  PostMessageA(mainWindow_, WM_SYSCOMMAND, SC_CLOSE, 0);
  return process_->waitForExit();
}

bool chooseMenuItem(const ProgramUnderTest& program, int key) {
  ui::releaseRightButton(ui::findChild(program.mainWindow(), "TarvexForgePictureBox"));
  HWND menu = ui::waitForPopupMenu(program.processId());
  if (!menu) return false;
  ui::pressKey(menu, key);
  Sleep(100);
  ui::pressKey(menu, VK_RETURN);
  return true;
}
