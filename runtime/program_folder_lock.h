#pragma once
// One running copy of the program per program folder: two would write the
// same working copies (one copy's build could package the other's picture)
// and remove each other's carried tools. The lock is a named mutex of the
// user's session keyed by the folder's real path, case-folded, so that
// every name and build (32- or 64-bit) of the program in that folder shares
// it; copies in other folders are independent.
#include <windows.h>

#include <string>

#include "handles.h"
#include "text.h"

class ProgramFolderLock {
 public:
  explicit ProgramFolderLock(const Text& folder);
  bool held() const { return held_; }
  // Waits up to `ms` for the copy that holds it to end; true once held.
  bool waitUntilHeld(DWORD ms);

 private:
  KernelHandle mutex_;
  bool held_ = false;
};

// The folder as copies compare it: its real (long) path, upper-cased.
std::wstring folderKey(const Text& folder);
