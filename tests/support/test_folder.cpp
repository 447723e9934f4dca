#include "test_folder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "files.h"
#include "program_dir.h"

TestFolder::TestFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "tf-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(counter++);
  removeFolderTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() {
  // Clear attributes that would keep files (read-only) before removing.
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  removeFolderTree(path_);
}

std::string testProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return splitExecutablePath(path).directory;
}

std::string childProgram() { return testProgramFolder() + "\\runtime_child.exe"; }

std::string quoted(const std::string& path) { return joinText("\"", path, "\""); }

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}
