#include "png_copy.h"

#include "files.h"
#include "picture_state.h"
#include "processes.h"
#include "responsiveness.h"
#include "working_copy.h"
#include "working_files.h"

PngCopyWriter::PngCopyWriter(const ByteBuffer* pngSource) : source_(pngSource) {
  HANDLE thread = nullptr;
  if (startThread(run, this, &thread)) thread_.reset(thread);
  else write();  // no second thread to be had: written here
}

PngCopyWriter::~PngCopyWriter() { finish(); }

bool PngCopyWriter::finish() {
  if (thread_) {
    waitAnsweringHangCheck(thread_.get());
    thread_.reset();
  }
  return written_;
}

DWORD WINAPI PngCopyWriter::run(void* writer) {
  static_cast<PngCopyWriter*>(writer)->write();
  return 0;
}

// The held picture is only read here (the UI thread encodes its JPEG copy
// from it at the same time); this thread answers no hang check.
void PngCopyWriter::write() {
  written_ = writeWorkingCopy(kPngCopy, [&](const Text& path) {
    return source_ ? writeFileBytes(path, *source_) : imageObject->EecodeToFile(path, IMAGE_FORMAT_PNG, nullptr);
  }, error_);
}
