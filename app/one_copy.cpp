#include "one_copy.h"

#include <windows.h>

#include "other_copy.h"
#include "program_dir.h"

namespace {
constexpr DWORD kClosingCopyWaitMs = 5000;
constexpr DWORD kLookAgainMs = 100;
}  // namespace

bool isTheFolderProgram(ProgramFolderLock& lock) {
  // A copy that has just started shows its window in a moment; one that
  // is closing lets go of the lock in a moment.
  for (const DWORD start = GetTickCount(); !lock.held() && GetTickCount() - start < kClosingCopyWaitMs;) {
    if (HWND front = frontWindowOfCopyIn(programDir())) {
      bringToFront(front);
      return false;
    }
    lock.waitUntilHeld(kLookAgainMs);
  }
  return true;
}
