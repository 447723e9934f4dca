#pragma once
// Starting a program and starting a thread. (Not named process.h: on the
// runtime's include path that name would stand in for the C runtime's
// <process.h>, which MinGW's pthread.h includes.)
#include <windows.h>

#include <atomic>
#include <optional>

#include "handles.h"
#include "text.h"

// wShowWindow for a show mode: omitted is 2; clamped to 1..6.
WORD showWindowForMode(std::optional<int> showMode);

// CreateProcess; waits for the end (wait) or at most 1 s for input idle.
// True when the process was created; its exit code is not read.
bool runCommandLine(const Text& commandLine, bool wait, std::optional<int> showMode = std::nullopt);

// A job object whose processes all end when it is ended, or when its last
// handle is closed. Any thread may end it; once ended it takes no new
// process until it is reopened.
class ProcessJob {
 public:
  ProcessJob();
  explicit operator bool() const { return static_cast<bool>(job_); }
  bool adopt(HANDLE process);
  void end();
  bool ended() const { return ended_; }
  void reopen() { ended_ = false; }

 private:
  KernelHandle job_;
  std::atomic<bool> ended_{false};
};

enum class RunResult { Ended, TimedOut, NotStarted };

// Runs the command line in the job (one of its own when none is given) and
// waits at most timeoutMs for it to end; on the time-out the process and
// everything it started are ended. (Where the job cannot be made, only the
// process itself.) A console program runs with a console of its own that
// has no window. Ending the job from another thread ends the wait too; a
// job ended before the process was in it never lets the process run. It
// starts in `folder` (the caller's current folder when empty).
RunResult runCommandLineWithin(const Text& commandLine, unsigned timeoutMs, std::optional<int> showMode,
                               ProcessJob* job = nullptr, const Text& folder = {});

// When the process started (its creation time); 0 where it cannot be asked
// (ended, another user's).
ULONGLONG processStartTime(DWORD processId);

// CreateThread with default stack and flags 0. Without handleOut the handle
// is closed at once and the thread runs detached.
bool startThread(LPTHREAD_START_ROUTINE routine, void* argument = nullptr,
                 HANDLE* handleOut = nullptr);
