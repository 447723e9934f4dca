#include "process.h"

#include <algorithm>
#include <vector>

#include "handles.h"

WORD showWindowForMode(std::optional<int> showMode) {
  static constexpr WORD kShowWindow[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                         SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  const int mode = std::clamp(showMode.value_or(2), 1, 6);
  return kShowWindow[mode - 1];
}

bool runCommandLine(const Text& commandLine, bool wait, std::optional<int> showMode) {
  STARTUPINFOA startup{};
  static_assert(sizeof(void*) != 4 || sizeof startup == 68, "the 32-bit STARTUPINFOA layout");
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showWindowForMode(showMode);
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');  // CreateProcessA may write into the line
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return false;
  KernelHandle process(started.hProcess), thread(started.hThread);
  if (wait) WaitForSingleObject(process.get(), INFINITE);
  else WaitForInputIdle(process.get(), 1000);
  return true;
}

bool startThread(LPTHREAD_START_ROUTINE routine, void* argument, HANDLE* handleOut) {
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, routine, argument, 0, &threadId);
  if (!thread) return false;
  if (handleOut) *handleOut = thread;
  else CloseHandle(thread);
  return true;
}
