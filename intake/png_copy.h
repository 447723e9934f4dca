#pragma once
// The PNG working copy, written on a thread of its own while the UI thread
// writes the JPEG copy, probes the size and prepares the picture: for a
// photograph of many megapixels the PNG encoder takes longest of all.
#include <windows.h>

#include <atomic>

#include "byte_buffer.h"
#include "handles.h"

class PngCopyWriter {
 public:
  // Starts writing the copy: a PNG source's own bytes, or (for none) the
  // held picture encoded as PNG. The bytes are the caller's, not copied (a
  // large file twice over may not fit a 32-bit program): they must outlive
  // the writer.
  explicit PngCopyWriter(const ByteBuffer* pngSource);
  // Waits as finish() does: nothing may remove the copies while it writes.
  ~PngCopyWriter();
  PngCopyWriter(const PngCopyWriter&) = delete;
  PngCopyWriter& operator=(const PngCopyWriter&) = delete;

  // Waits for the copy, answering the system's hang check meanwhile;
  // whether it was written whole.
  bool finish();
  // After finish(): why a copy that was not written failed (ERROR_DISK_FULL
  // for a full disk).
  DWORD error() const { return error_; }

 private:
  static DWORD WINAPI run(void* writer);
  void write();
  const ByteBuffer* source_;
  KernelHandle thread_;
  std::atomic<bool> written_{false};
  DWORD error_ = ERROR_SUCCESS;  // set on the writing thread, read after it ended
};
