#include "processes.h"

#include <algorithm>

#include "wide_text.h"

WORD showWindowForMode(std::optional<int> showMode) {
  static constexpr WORD kShowWindow[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                         SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};
  const int mode = std::clamp(showMode.value_or(2), 1, 6);
  return kShowWindow[mode - 1];
}

namespace {

struct StartedProcess {
  KernelHandle process, thread;
};

std::optional<StartedProcess> startProcess(const Text& commandLine, std::optional<int> showMode,
                                           DWORD creationFlags, const Text& folder = {}) {
  STARTUPINFOW startup{};
  static_assert(sizeof(void*) != 4 || sizeof startup == 68, "the 32-bit STARTUPINFO layout");
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showWindowForMode(showMode);
  std::wstring mutableLine = widen(commandLine);  // CreateProcessW may write into the line
  const std::wstring wideFolder = widen(folder);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                      folder.empty() ? nullptr : wideFolder.c_str(), &startup, &started))
    return std::nullopt;
  return StartedProcess{KernelHandle(started.hProcess), KernelHandle(started.hThread)};
}

}  // namespace

ProcessJob::ProcessJob() : job_(CreateJobObjectW(nullptr, nullptr)) {
  if (!job_) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
    job_.reset();
}

bool ProcessJob::adopt(HANDLE process) { return job_ && AssignProcessToJobObject(job_.get(), process); }

// Marked before the processes are ended: a process adopted meanwhile is
// either ended here or sees the mark (runCommandLineWithin).
void ProcessJob::end() {
  ended_ = true;
  if (job_) TerminateJobObject(job_.get(), 1);
}

bool runCommandLine(const Text& commandLine, bool wait, std::optional<int> showMode) {
  std::optional<StartedProcess> started = startProcess(commandLine, showMode, 0);
  if (!started) return false;
  if (wait) WaitForSingleObject(started->process.get(), INFINITE);
  else WaitForInputIdle(started->process.get(), 1000);
  return true;
}

RunResult runCommandLineWithin(const Text& commandLine, unsigned timeoutMs, std::optional<int> showMode,
                               ProcessJob* given, const Text& folder) {
  std::optional<ProcessJob> own;
  if (!given) own.emplace();
  ProcessJob& job = given ? *given : *own;
  // Suspended until it is in the job, so that nothing it starts escapes. A
  // console program gets a console without a window: a hidden show mode
  // alone is not enough where Windows Terminal is the default console, and
  // closing such a window would end the program.
  std::optional<StartedProcess> started =
      startProcess(commandLine, showMode, CREATE_SUSPENDED | CREATE_NO_WINDOW, folder);
  if (!started) return RunResult::NotStarted;
  const bool inJob = job.adopt(started->process.get());
  if (job.ended()) {  // its end came first: the process never runs
    TerminateProcess(started->process.get(), 1);
    return RunResult::NotStarted;
  }
  ResumeThread(started->thread.get());
  if (WaitForSingleObject(started->process.get(), timeoutMs) == WAIT_OBJECT_0) return RunResult::Ended;
  if (inJob) job.end();
  else TerminateProcess(started->process.get(), 1);
  WaitForSingleObject(started->process.get(), 5000);  // its files are released once it is gone
  return RunResult::TimedOut;
}

ULONGLONG processStartTime(DWORD processId) {
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!process || !GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
  return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool startThread(LPTHREAD_START_ROUTINE routine, void* argument, HANDLE* handleOut) {
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, routine, argument, 0, &threadId);
  if (!thread) return false;
  if (handleOut) *handleOut = thread;
  else CloseHandle(thread);
  return true;
}
