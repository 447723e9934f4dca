#pragma once
// Patience with files of ours that another program holds for a moment: a
// virus scanner or the search indexer reading a new file, cloud sync of a
// redirected desktop, the shell's thumbnail handler. A replace, move or
// removal that meets one is tried again after growing pauses.
#include <windows.h>

#include <functional>

#include "text.h"

enum class Patience {
  Brief,  // about 1 s: the UI thread, the end of a session
  Long,   // about 10 s: the build worker
};

// How long each is patient, at most.
constexpr DWORD patienceBudgetMs(Patience patience) { return patience == Patience::Long ? 10000 : 1000; }

// Runs `attempt` (a replace, move or removal of `file`) until it succeeds.
// It is tried again on a sharing or lock violation, and on access denied
// when `file` exists and its folder takes new files (a file being deleted,
// or opened without sharing deletion); any other failure, and a folder
// that refuses writes, end it at once. The last attempt's result, with its
// error as the last error.
bool patiently(Patience patience, const Text& file, const std::function<bool()>& attempt);
