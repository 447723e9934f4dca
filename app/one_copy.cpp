#include "one_copy.h"

#include <windows.h>

#include "message.h"
#include "other_copy.h"

namespace {

constexpr DWORD kHeldLockWaitMs = 5000;
constexpr DWORD kLookAgainMs = 100;
constexpr char kCaption[] = "Tarvex Forge";
constexpr char kRunningElsewhere[] = "本程序已经在这个文件夹中运行，请先关闭它。";

// The front window of the copy that holds the lock, where it runs on this
// PC in a session this copy can reach.
HWND frontWindowOfHolder(const ProgramFolderLock& lock) {
  const std::optional<LockHolder> holder = lock.holder();
  if (!holder || !runsHere(*holder)) return nullptr;
  return frontWindowOfProcess(holder->processId);
}

}  // namespace

bool isTheFolderProgram(ProgramFolderLock& lock) {
  using Attempt = ProgramFolderLock::Attempt;
  // A copy that has just started shows its window in a moment; one that is
  // closing lets go of the lock in a moment.
  for (const DWORD start = GetTickCount();;) {
    const Attempt attempt = lock.take();
    if (attempt == Attempt::Taken || attempt == Attempt::FolderTakesNoFiles) return true;
    const bool held = attempt == Attempt::HeldByAnother;
    if (HWND front = held ? frontWindowOfHolder(lock) : nullptr) {
      bringToFront(front);
      return false;
    }
    if (GetTickCount() - start >= kHeldLockWaitMs) {
      if (!held) return true;  // the lock could not be had: the program runs without it
      showMessage(kRunningElsewhere, MB_ICONINFORMATION, Text(kCaption));
      return false;
    }
    lock.waitForChange(kLookAgainMs);
  }
}
