#include "output_file.h"

#include <algorithm>

#include "file_open.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
constexpr std::size_t kBufferBytes = 256 * 1024;  // few system calls for the encoders' small writes
}

#ifdef _WIN32
OutputFile::OutputFile(const std::string& path) {
  // The sharing the C runtime's "wb" gives: readers and writers, no deleting.
  handle_ = CreateFileW(windowsPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) handle_ = nullptr;
  buffer_.reserve(kBufferBytes);
}

bool OutputFile::isOpen() const { return handle_ != nullptr; }

void OutputFile::noteFailure() {
  if (!failed_) error_ = GetLastError();
  failed_ = true;
}

bool OutputFile::flush() {
  for (std::size_t done = 0; !failed_ && done < buffer_.size();) {
    DWORD written = 0;
    if (!WriteFile(handle_, buffer_.data() + done, static_cast<DWORD>(buffer_.size() - done), &written, nullptr)) {
      noteFailure();
    } else if (written == 0) {  // nothing taken and no error: no room
      SetLastError(ERROR_DISK_FULL);
      noteFailure();
    }
    done += written;
  }
  buffer_.clear();
  return !failed_;
}

bool OutputFile::close() {
  if (!handle_) return false;
  flush();
  if (!CloseHandle(handle_)) noteFailure();
  handle_ = nullptr;
  if (failed_) SetLastError(error_);
  return !failed_;
}
#else
OutputFile::OutputFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) { buffer_.reserve(kBufferBytes); }

bool OutputFile::isOpen() const { return file_ != nullptr; }

void OutputFile::noteFailure() { failed_ = true; }

bool OutputFile::flush() {
  if (!failed_ && !buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    noteFailure();
  buffer_.clear();
  return !failed_;
}

bool OutputFile::close() {
  if (!file_) return false;
  flush();
  if (std::fclose(file_) != 0) noteFailure();
  file_ = nullptr;
  return !failed_;
}
#endif

OutputFile::~OutputFile() {
  if (isOpen()) close();
}

bool OutputFile::write(const void* bytes, std::size_t count) {
  if (failed_ || !isOpen()) return false;
  const auto* from = static_cast<const std::uint8_t*>(bytes);
  while (count > 0) {
    if (buffer_.size() == kBufferBytes && !flush()) return false;
    const std::size_t taken = std::min(count, kBufferBytes - buffer_.size());
    buffer_.insert(buffer_.end(), from, from + taken);
    from += taken;
    count -= taken;
  }
  return true;
}
