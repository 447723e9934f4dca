#pragma once
// One running copy of the program per program folder: two would write the
// same working copies (one copy's build could package the other's picture)
// and remove each other's carried tools. The lock is a file in the folder
// itself, so whatever path reaches the folder (a mapped or substituted
// drive letter, a junction or link, a short name, a share's \\server\share
// name beside its mapped letter), every session on the PC and, where the
// file server keeps share modes, every PC on a share meet the same lock.
#include <windows.h>

#include <optional>
#include <string>

#include "handles.h"

// The copy that holds a folder's lock: its process and when it started (a
// process id alone may since belong to another program).
struct LockHolder {
  DWORD processId = 0;
  ULONGLONG startTime = 0;
};

class ProgramFolderLock {
 public:
  enum class Attempt {
    Taken,              // this copy holds it
    HeldByAnother,      // another copy has it open
    FolderTakesNoFiles, // read-only media or share, no right to write: no lock
    Failed,             // anything else: worth another try
  };
  explicit ProgramFolderLock(const std::wstring& folder);
  // Opens the lock file, no second opener allowed to write or delete it,
  // deleted when this copy's handle closes; a file left by a copy that
  // never closed (a power cut) is opened and taken over.
  Attempt take();
  bool held() const { return static_cast<bool>(file_); }
  // Who holds it, as its file says; none while it cannot be read.
  std::optional<LockHolder> holder() const;
  // Waits up to `ms` for a file name in the folder to change (the lock
  // file's deletion when its holder ends).
  void waitForChange(DWORD ms) const;

 private:
  void writeHolder();
  std::wstring path_;
  FileHandle file_;
  ChangeNotification change_;
};

// Whether the holder is a running process of this PC that this copy may
// ask about (the same start time, so not a later process with its id).
bool runsHere(const LockHolder& holder);
