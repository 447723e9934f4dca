#pragma once
// Starting a program and starting a thread.
#include <windows.h>

#include <optional>

#include "text.h"

// wShowWindow for a show mode: omitted is 2; clamped to 1..6.
WORD showWindowForMode(std::optional<int> showMode);

// CreateProcessA; waits for the end (wait) or at most 1 s for input idle.
// True when the process was created; its exit code is not read.
bool runCommandLine(const Text& commandLine, bool wait, std::optional<int> showMode = std::nullopt);

enum class RunResult { Ended, TimedOut, NotStarted };

// Runs the command line in a job object of its own and waits at most
// timeoutMs for it to end; on the time-out the process and everything it
// started are ended. (Where the job cannot be made, only the process itself.)
// A console program runs with a console of its own that has no window.
RunResult runCommandLineWithin(const Text& commandLine, unsigned timeoutMs, std::optional<int> showMode);

// CreateThread with default stack and flags 0. Without handleOut the handle
// is closed at once and the thread runs detached.
bool startThread(LPTHREAD_START_ROUTINE routine, void* argument = nullptr,
                 HANDLE* handleOut = nullptr);
