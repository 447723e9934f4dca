#include "program_folder_lock.h"

#include <cstdio>

#include "processes.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

// A second copy may read who holds the lock, never write or delete it.
constexpr DWORD kHolderAccess = GENERIC_READ | GENERIC_WRITE | DELETE;
constexpr DWORD kHolderSharing = FILE_SHARE_READ;
constexpr DWORD kReaderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool isMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A refusal to make the lock file that means the folder takes no new files
// at all. (A lock file that exists and cannot be opened is being deleted by
// a copy that ends, or held: not this.)
bool folderTakesNoFiles(DWORD error, const std::wstring& path) {
  if (error == ERROR_WRITE_PROTECT) return true;
  if (error != ERROR_ACCESS_DENIED && error != ERROR_NETWORK_ACCESS_DENIED) return false;
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && isMissing(GetLastError());
}

}  // namespace

ProgramFolderLock::ProgramFolderLock(const std::wstring& folder)
    : path_(folder + widen(kFolderLock)),
      change_(FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME)) {}

ProgramFolderLock::Attempt ProgramFolderLock::take() {
  if (held()) return Attempt::Taken;
  // OPEN_ALWAYS: creating over a left lock file would be refused, it being
  // hidden and system.
  file_.reset(CreateFileW(path_.c_str(), kHolderAccess, kHolderSharing, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (held()) {
    writeHolder();
    return Attempt::Taken;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION) return Attempt::HeldByAnother;
  return folderTakesNoFiles(error, path_) ? Attempt::FolderTakesNoFiles : Attempt::Failed;
}

// What a second start reads; the lock holds even where it cannot be
// written (a full disk).
void ProgramFolderLock::writeHolder() {
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%lu %llu", GetCurrentProcessId(),
                                   processStartTime(GetCurrentProcessId()));
  DWORD written = 0;
  SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
  WriteFile(file_.get(), text, static_cast<DWORD>(length), &written, nullptr);
  SetEndOfFile(file_.get());
}

std::optional<LockHolder> ProgramFolderLock::holder() const {
  const FileHandle file(
      CreateFileW(path_.c_str(), GENERIC_READ, kReaderSharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char text[48] = {};
  DWORD read = 0;
  if (!file || !ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) return std::nullopt;
  unsigned long processId = 0;
  unsigned long long startTime = 0;
  if (std::sscanf(text, "%lu %llu", &processId, &startTime) != 2) return std::nullopt;
  return LockHolder{processId, startTime};
}

void ProgramFolderLock::waitForChange(DWORD ms) const {
  // Some file systems give no notifications: then a plain wait.
  if (!change_) {
    Sleep(ms);
    return;
  }
  if (WaitForSingleObject(change_.get(), ms) == WAIT_OBJECT_0) FindNextChangeNotification(change_.get());
}

bool runsHere(const LockHolder& holder) {
  return holder.startTime != 0 && processStartTime(holder.processId) == holder.startTime;
}
