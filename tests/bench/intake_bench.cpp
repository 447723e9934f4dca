// intake_bench <picture>...: times the parts of taking a picture in, as a
// drop does: decode, JPEG working copy, PNG working copy, size probe and
// the picture box showing the JPEG copy. Prints milliseconds per part.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "bench_clock.h"
#include "files.h"
#include "program_dir.h"
#include "picture_state.h"
#include "reencode.h"
#include "take_in_picture.h"
#include "program_windows.h"
#include "working_files.h"

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  initProgramDir();
  imageObject = std::make_unique<ImageObject>();
  loadWindow(WindowId::Main);
  std::printf("%-28s %8s %8s %8s %8s %8s %8s\n", "picture", "decode", "jpeg", "png", "probe", "show", "total");
  for (int i = 1; i < argc; ++i) {
    const Text path = argv[i];
    const ImageFormat format = formatForExtension(extensionOf(path));
    const double t0 = now();
    imageObject->DecodeFromFile(path, format);
    const double t1 = now();
    imageObject->EecodeToFile(workingPath(kJpegCopy), IMAGE_FORMAT_JPG);
    const double t2 = now();
    if (format == IMAGE_FORMAT_PNG) copyFile(path, workingPath(kPngCopy));
    else imageObject->EecodeToFile(workingPath(kPngCopy), IMAGE_FORMAT_PNG);
    const double t3 = now();
    const bool fits = sizeIsMultipleOf4();
    const double t4 = now();
    openWindow(WindowId::Main)->pictureBox()->setPicture(readFileBytes(workingPath(kJpegCopy)));
    UpdateWindow(openWindow(WindowId::Main)->hwnd());
    const double t5 = now();
    const char* name = path.c_str() + path.rfind('\\') + 1;
    std::printf("%-28s %8.0f %8.0f %8.0f %8.0f %8.0f %8.0f%s\n", name, t1 - t0, t2 - t1, t3 - t2, t4 - t3,
                t5 - t4, t5 - t0, fits ? "" : " (refused by size)");
  }
  deleteFile(workingPath(kJpegCopy));
  deleteFile(workingPath(kPngCopy));
  return 0;
}
