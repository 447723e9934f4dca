#include "program_under_test.h"

#include <cstdio>

#include "files.h"
#include "windows_loader.h"
#include "working_files.h"

namespace {

// True (and says why) when Windows would refuse to start the executable.
bool refusedByWindows(const std::string& executable) {
  const std::vector<std::string> missing = dllsMissingOnWindows(executable);
  for (const std::string& dll : missing)
    std::fprintf(stderr, "%s would not start on Windows: it imports %s (0xC0000135)\n",
                 executable.c_str(), dll.c_str());
  return !missing.empty();
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::function<void(const std::string&)>& prepare,
                                   const std::string& subfolder)
    : programFolder_(subfolder.empty() ? scratch_.path() : scratch_ / subfolder) {
  if (!subfolder.empty()) createFolder(programFolder_);
  if (prepare) prepare(programFolder_);
  const std::string copy = inFolder("TarvexForge.exe");
  copyFile(testProgramFolder() + "\\TarvexForge.exe", copy);
  start(copy);
}

ProgramUnderTest::ProgramUnderTest(const InPlace& existing) : programFolder_(existing.folder) {
  start(inFolder("TarvexForge.exe"));
}

void ProgramUnderTest::start(const std::string& executable) {
  if (refusedByWindows(executable)) return;
  process_ = std::make_unique<ui::Process>(quoted(executable));
  if (process_->ok()) mainWindow_ = ui::waitForWindow(process_->id(), kMainClass, nullptr, 20000);
  // The carried tools as they landed beside it: the script starts them.
  if (mainWindow_ && (refusedByWindows(workingFile(kDdsConv)) || refusedByWindows(workingFile(kColorEcho)))) {
    mainWindow_ = nullptr;
    process_.reset();  // ends the program
  }
}

HWND ProgramUnderTest::window(const char* className, DWORD ms) const {
  return ui::waitForWindow(process_->id(), className, nullptr, ms);
}

DWORD ProgramUnderTest::closeAndWaitForExit() {
  PostMessageA(mainWindow_, WM_SYSCOMMAND, SC_CLOSE, 0);
  return process_->waitForExit();
}

bool chooseMenuItem(const ProgramUnderTest& program, int key) {
  return ui::chooseMenuItem(program.processId(), program.mainWindow(), key);
}

HWND openPictureDialog(const ProgramUnderTest& program) {
  return ui::openPictureDialog(program.processId(), program.mainWindow());
}

bool takeInThroughDialog(const ProgramUnderTest& program, const std::string& path) {
  return ui::takeInThroughDialog(program.processId(), program.mainWindow(), path);
}

bool pictureShown(const ProgramUnderTest& program) { return ui::pictureShown(program.mainWindow()); }

HWND messageBox(const ProgramUnderTest& program, DWORD ms) { return program.window("#32770", ms); }
