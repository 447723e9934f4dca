#pragma once
// A folder as Windows' command interpreter can be started in. cmd.exe
// refuses a current folder on a network share (\\server\share\...: "CMD
// does not support UNC paths as current directories") and starts in the
// Windows folder instead; such a folder gets a drive letter of its own for
// as long as a FolderOnDrive lives, as pushd would map one, and the letter
// is released however the run ends.
#include <string>

#include "text.h"

// How a drive letter ("Y:") is put onto a folder and taken off again.
struct DriveMapping {
  bool (*put)(const std::wstring& letter, const std::wstring& folder);
  void (*takeOff)(const std::wstring& letter, const std::wstring& folder);
};
// DefineDosDevice: a letter of the user's logon session, which the shell
// is not told of.
DriveMapping dosDeviceMapping();

class FolderOnDrive {
 public:
  explicit FolderOnDrive(const Text& folder, const DriveMapping& mapping = dosDeviceMapping());
  ~FolderOnDrive();
  FolderOnDrive(const FolderOnDrive&) = delete;
  FolderOnDrive& operator=(const FolderOnDrive&) = delete;
  // The folder by a path the interpreter takes: the folder itself where it
  // has a drive letter already, else the root of the letter mapped onto
  // it; empty where no letter was free.
  const Text& path() const { return path_; }

 private:
  DriveMapping mapping_;
  std::wstring letter_, folder_;
  Text path_;
};
