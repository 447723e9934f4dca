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
  path_ = pathFromWindows(temp) + "tf-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++);
  removeFolderTree(path_);
  createFolder(path_);
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
