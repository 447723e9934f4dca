#pragma once
// The file an encoder writes: created, or cut to length 0, when it opens,
// written through a buffer of its own, and written only when every write
// and its close succeeded (a full disk shows at any of them). On Windows it
// is opened through its UTF-16 name, and after a failed close the failing
// call's error is the thread's last error, so that the caller can tell a
// full disk (ERROR_DISK_FULL) from a file another program holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class OutputFile {
 public:
  explicit OutputFile(const std::string& path);  // a GBK path
  ~OutputFile();                                 // closes if still open; the result is lost
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool isOpen() const;
  // False once anything has failed; what follows is not written.
  bool write(const void* bytes, std::size_t count);
  // Writes what is buffered and closes: true when nothing failed.
  bool close();

 private:
  bool flush();
  void noteFailure();
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
#ifdef _WIN32
  void* handle_;
  unsigned long error_ = 0;  // the first failing call's
#else
  std::FILE* file_;
#endif
};
