#pragma once
// A copy of TarvexForge.exe started from a scratch folder of its own (so
// that its program directory is private to the test) and its main window.
#include <functional>
#include <memory>
#include <string>

#include "program_steps.h"
#include "test_folder.h"
#include "ui_driver.h"

inline constexpr char kMainClass[] = "TarvexForgeMain";
inline constexpr char kAboutClass[] = "TarvexForgeAbout";
inline constexpr char kBusyClass[] = "TarvexForgeBusy";

class ProgramUnderTest {
 public:
  // `prepare` may put files into the program's folder before it starts;
  // with `subfolder` the program lies in that folder of the scratch folder.
  explicit ProgramUnderTest(const std::function<void(const std::string& folder)>& prepare = {},
                            const std::string& subfolder = "");
  // The TarvexForge.exe that already lies in a folder, started there.
  struct InPlace {
    std::string folder;
  };
  explicit ProgramUnderTest(const InPlace& existing);
  bool started() const { return mainWindow_ != nullptr; }
  HWND mainWindow() const { return mainWindow_; }
  DWORD processId() const { return process_->id(); }
  const std::string& folder() const { return programFolder_; }
  std::string inFolder(const std::string& name) const { return programFolder_ + "\\" + name; }
  // A working file of the program's (a name of working_files.h, "\" first).
  std::string workingFile(const char* name) const { return programFolder_ + name; }
  // A visible window of the program with the class, waiting up to `ms`.
  HWND window(const char* className, DWORD ms = 5000) const;
  // Closes the main window like its close button; returns the exit code.
  DWORD closeAndWaitForExit();

 private:
  void start(const std::string& executable);
  TestFolder scratch_;
  std::string programFolder_;
  std::unique_ptr<ui::Process> process_;
  HWND mainWindow_ = nullptr;
};

// The program's gestures (program_steps.h) on this program's main window.
bool chooseMenuItem(const ProgramUnderTest& program, int key);
HWND openPictureDialog(const ProgramUnderTest& program);
bool takeInThroughDialog(const ProgramUnderTest& program, const std::string& path);
bool pictureShown(const ProgramUnderTest& program);
// The program's message box, or null when none comes within `ms`.
HWND messageBox(const ProgramUnderTest& program, DWORD ms = 10000);
