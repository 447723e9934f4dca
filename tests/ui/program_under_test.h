#pragma once
// A copy of TarvexForge.exe started from a scratch folder of its own (so
// that its program directory is private to the test) and its main window.
#include <functional>
#include <memory>
#include <string>

#include "test_folder.h"
#include "ui_driver.h"

inline constexpr char kMainClass[] = "TarvexForgeMain";
inline constexpr char kAboutClass[] = "TarvexForgeAbout";
inline constexpr char kBusyClass[] = "TarvexForgeBusy";

class ProgramUnderTest {
 public:
  // `prepare` may put files into the program's folder before it starts.
  explicit ProgramUnderTest(const std::function<void(const TestFolder&)>& prepare = {});
  bool started() const { return mainWindow_ != nullptr; }
  HWND mainWindow() const { return mainWindow_; }
  DWORD processId() const { return process_->id(); }
  const TestFolder& folder() const { return folder_; }
  // A visible window of the program with the class, waiting up to `ms`.
  HWND window(const char* className, DWORD ms = 5000) const;
  // Closes the main window like its close button; returns the exit code.
  DWORD closeAndWaitForExit();

 private:
  TestFolder folder_;
  std::unique_ptr<ui::Process> process_;
  HWND mainWindow_ = nullptr;
};

// Opens the popup menu over the picture box and chooses an item with the
// keyboard: VK_HOME for the first, VK_END for the last.
bool chooseMenuItem(const ProgramUnderTest& program, int key);
