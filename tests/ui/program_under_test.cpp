#include "program_under_test.h"

#include "files.h"

ProgramUnderTest::ProgramUnderTest(const std::function<void(const std::string&)>& prepare,
                                   const std::string& subfolder)
    : programFolder_(subfolder.empty() ? scratch_.path() : scratch_ / subfolder) {
  if (!subfolder.empty()) createFolder(programFolder_);
  if (prepare) prepare(programFolder_);
  const std::string copy = inFolder("TarvexForge.exe");
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

namespace {

HWND waitForOpenDialog(const ProgramUnderTest& program) {
  HWND dialog = nullptr;
  ui::waitUntil([&] {
    dialog = program.window("#32770", 100);
    return dialog && GetDlgItem(dialog, 1148);  // the file-name box
  }, 10000);
  return dialog;
}

}  // namespace

HWND openPictureDialog(const ProgramUnderTest& program) {
  ui::releaseRightButton(ui::findChild(program.mainWindow(), "TarvexForgePictureBox"));
  HWND menu = ui::waitForPopupMenu(program.processId());
  if (!menu) return nullptr;
  ui::pressKey(menu, VK_END);
  ui::pressKey(menu, VK_UP);
  ui::pressKey(menu, VK_RETURN);
  return waitForOpenDialog(program);
}

void confirmDialog(HWND dialog, const std::string& path) {
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

bool takeInThroughDialog(const ProgramUnderTest& program, const std::string& path) {
  HWND dialog = openPictureDialog(program);
  if (!dialog) return false;
  confirmDialog(dialog, path);
  HWND box = ui::findChild(program.mainWindow(), "TarvexForgePictureBox");
  // Generous: CI may run the fuzzers' native build alongside.
  return ui::waitUntil([&] { return middleOf(box) != GetSysColor(COLOR_BTNFACE); }, 20000);
}

HWND messageBox(const ProgramUnderTest& program, DWORD ms) { return program.window("#32770", ms); }
