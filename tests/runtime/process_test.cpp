#include <gtest/gtest.h>
#include <windows.h>

#include "handles.h"
#include "processes.h"
#include "test_folder.h"

namespace {

// The dwFlags and wShowWindow the child saw in its own GetStartupInfoA.
std::string startupSeenWith(std::optional<int> showMode) {
  TestFolder scratch;
  const std::string report = scratch / "startup.txt";
  const std::string line = quoted(childProgram()) + " startupinfo " + quoted(report);
  if (!runCommandLine(line, true, showMode)) return "not started";
  return readText(report);
}

DWORD WINAPI signalEvent(void* event) {
  SetEvent(static_cast<HANDLE>(event));
  return 7;
}

}  // namespace

TEST(RunCommandLine, ShowModeIsClampedAndMapped) {
  const std::string flags = std::to_string(STARTF_USESHOWWINDOW) + " ";
  EXPECT_EQ(startupSeenWith(std::nullopt), flags + std::to_string(SW_SHOWNORMAL));
  EXPECT_EQ(startupSeenWith(0), flags + std::to_string(SW_HIDE));
  EXPECT_EQ(startupSeenWith(1), flags + std::to_string(SW_HIDE));
  EXPECT_EQ(startupSeenWith(4), flags + std::to_string(SW_SHOWMAXIMIZED));
  EXPECT_EQ(startupSeenWith(9), flags + std::to_string(SW_MINIMIZE));
}

TEST(RunCommandLine, ShowModeTable) {
  EXPECT_EQ(showWindowForMode(-100), SW_HIDE);
  EXPECT_EQ(showWindowForMode(2), SW_SHOWNORMAL);
  EXPECT_EQ(showWindowForMode(3), SW_SHOWMINIMIZED);
  EXPECT_EQ(showWindowForMode(5), SW_SHOWNOACTIVATE);
  EXPECT_EQ(showWindowForMode(6), SW_MINIMIZE);
}

TEST(RunCommandLine, WaitsOrGoesOnAndReportsCreation) {
  const std::string sleeper = quoted(childProgram()) + " sleep";
  DWORD start = GetTickCount();
  EXPECT_TRUE(runCommandLine(sleeper, true, 1));
  EXPECT_GE(GetTickCount() - start, 2500u);  // waited for the 3-second child
  start = GetTickCount();
  EXPECT_TRUE(runCommandLine(sleeper, false, 1));
  EXPECT_LT(GetTickCount() - start, 2500u);  // at most a second of input-idle wait
  EXPECT_FALSE(runCommandLine("\"C:\\no such folder\\nothing.exe\"", true, 1));
  EXPECT_FALSE(runCommandLine("", true));
}

TEST(StartThread, RunsDetachedOrHandsBackItsHandle) {
  KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(startThread(signalEvent, event.get()));
  EXPECT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_OBJECT_0);

  ResetEvent(event.get());
  HANDLE thread = nullptr;
  ASSERT_TRUE(startThread(signalEvent, event.get(), &thread));
  KernelHandle owned(thread);
  ASSERT_EQ(WaitForSingleObject(owned.get(), 5000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeThread(owned.get(), &exitCode);
  EXPECT_EQ(exitCode, 7u);
}

// The conversion script must never show a console: started within a time
// limit, a console program gets a console that has no window.
TEST(RunCommandLineWithin, GivesAConsoleProgramAConsoleWithoutAWindow) {
  TestFolder scratch;
  const std::string report = scratch / "console.txt";
  const std::string line = quoted(childProgram()) + " console " + quoted(report);
  ASSERT_EQ(runCommandLineWithin(line, 10000, 1), RunResult::Ended);
  EXPECT_EQ(readText(report), "console without window");
}
