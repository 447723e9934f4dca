#pragma once
// A fresh scratch folder per test, removed afterwards, and the paths of the
// helper programs built beside the test executable.
#include <string>

#include "byte_buffer.h"

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The folder that holds the running test executable.
std::string testProgramFolder();
// Full path of runtime_child.exe (beside the runtime tests).
std::string childProgram();
// The path in double quotes, for command lines.
std::string quoted(const std::string& path);
void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);
