#include "drive_letter.h"

#include <windows.h>

#include "wide_text.h"

#ifndef DDD_NO_BROADCAST_SYSTEM
#define DDD_NO_BROADCAST_SYSTEM 0x00000008
#endif

namespace {

// The letter is the program's for a moment only: the shell is not told.
constexpr DWORD kQuietly = DDD_NO_BROADCAST_SYSTEM;

bool putByDosDevice(const std::wstring& letter, const std::wstring& folder) {
  return DefineDosDeviceW(kQuietly, letter.c_str(), folder.c_str()) != 0;
}

void takeOffByDosDevice(const std::wstring& letter, const std::wstring& folder) {
  DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE | kQuietly, letter.c_str(), folder.c_str());
}

bool needsDriveLetter(const Text& folder) { return folder.rfind("\\\\", 0) == 0; }

// Free: no drive and no definition of any kind under that name.
bool isFree(const std::wstring& letter) {
  wchar_t target[MAX_PATH];
  return !(GetLogicalDrives() & (1u << (letter[0] - L'A'))) && QueryDosDeviceW(letter.c_str(), target, MAX_PATH) == 0;
}

}  // namespace

DriveMapping dosDeviceMapping() { return {putByDosDevice, takeOffByDosDevice}; }

FolderOnDrive::FolderOnDrive(const Text& folder, const DriveMapping& mapping) : mapping_(mapping) {
  if (!needsDriveLetter(folder)) {
    path_ = folder;
    return;
  }
  folder_ = widen(folder);
  // From Z: down, as pushd takes them: the letters users map by hand are
  // mostly the first after their disks.
  for (wchar_t drive = L'Z'; drive >= L'D'; --drive) {
    const std::wstring letter{drive, L':'};
    if (isFree(letter) && mapping_.put(letter, folder_)) {
      letter_ = letter;
      path_ = narrow(letter + L"\\");
      return;
    }
  }
}

FolderOnDrive::~FolderOnDrive() {
  if (!letter_.empty()) mapping_.takeOff(letter_, folder_);
}
