#pragma once
// A picture the user chose, read without shutting anybody out: a browser
// may still hold a download open for writing, the shell or a scanner may
// hold it to delete. Its 64-bit length is known before anything is read, so
// that a file too large for the codec is refused at once.
#include <cstddef>
#include <cstdint>

#include "byte_buffer.h"
#include "handles.h"
#include "text.h"

class SharedFile {
 public:
  explicit SharedFile(const Text& path);  // opened with read, write and delete sharing
  explicit operator bool() const { return static_cast<bool>(file_); }
  std::uint64_t size() const { return size_; }  // when it was opened

  // `count` bytes at `offset` into `out`; false where the file has fewer.
  bool readAt(std::uint64_t offset, std::size_t count, std::uint8_t* out) const;

  enum class Whole { Read, Changed, Failed };
  // The whole file in pieces of a few MiB, `betweenPieces` called after
  // each (the UI thread answers the system's hang check there). Changed
  // when its length is no longer what it was when opened.
  Whole readAll(ByteBuffer& bytes, void (*betweenPieces)()) const;

 private:
  FileHandle file_;
  std::uint64_t size_ = 0;
};
