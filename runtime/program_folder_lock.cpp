#include "program_folder_lock.h"

#include <cstdint>
#include <cwchar>

#include "wide_text.h"

std::wstring folderKey(const Text& folder) {
  std::wstring path = widen(folder);
  const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (length > 0) {
    std::wstring real(length, L'\0');
    const DWORD written = GetLongPathNameW(path.c_str(), real.data(), length);
    if (written > 0 && written < length) path = real.substr(0, written);
  }
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

namespace {

// The key is longer than a mutex name may be: its 64-bit FNV-1a hash.
std::wstring mutexName(const Text& folder) {
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t unit : folderKey(folder)) {
    hash ^= static_cast<std::uint16_t>(unit);
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\TarvexForge-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

ProgramFolderLock::ProgramFolderLock(const Text& folder)
    : mutex_(CreateMutexW(nullptr, TRUE, mutexName(folder).c_str())) {
  held_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
}

bool ProgramFolderLock::waitUntilHeld(DWORD ms) {
  if (!held_ && mutex_) {
    const DWORD waited = WaitForSingleObject(mutex_.get(), ms);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;  // abandoned: that copy ended
  }
  return held_;
}
