#include "test_folder.h"

#include <windows.h>

#include <atomic>

#include "files.h"
#include "program_dir.h"
#include "system_path.h"
#include "wide_text.h"

TestFolder::TestFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const Text base = pathFromWindows(temp) + "tf-test-" + std::to_string(GetCurrentProcessId()) + "-";
  // A new folder: one of an earlier process with the same id may still be
  // there, holding what its test could not remove (a "." entry, a
  // read-only file).
  for (int attempt = 0; attempt < 1000; ++attempt) {
    path_ = base + std::to_string(counter++);
    if (createFolder(path_)) return;
  }
}

TestFolder::~TestFolder() {
  // Clear attributes that would keep files (read-only) before removing.
  makeNormalFile(path_);
  removeFolderTree(path_);
}

std::string testProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return splitExecutablePath(pathFromWindows(path)).directory;
}

std::string childProgram() { return testProgramFolder() + "\\runtime_child.exe"; }

std::string quoted(const std::string& path) { return joinText("\"", path, "\""); }

void writeText(const std::string& path, const std::string& text) { writeFileBytes(path, textToBuffer(text)); }

std::string readText(const std::string& path) { return std::string(readFileBytes(path).view()); }
