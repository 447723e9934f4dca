// intake_bench <picture>...: times taking a picture in as a drop does
// (takeInPicture, to the picture shown), and apart from it its parts one
// after the other: decode, JPEG working copy, PNG working copy, size probe
// and the picture box decoding the JPEG copy. The goal each picture is held
// to: the intake within its decode plus its PNG copy plus 300 ms. Best of
// two runs each; prints milliseconds.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>

#include "bench_clock.h"
#include "files.h"
#include "picture_state.h"
#include "program_windows.h"
#include "reencode.h"
#include "take_in_picture.h"
#include "working_files.h"

namespace {

struct Parts {
  double decode = 1e9, jpeg = 1e9, png = 1e9, probe = 1e9, show = 1e9;
};

void timeParts(const Text& path, Parts& best) {
  const ImageFormat format = formatForExtension(extensionOf(path));
  const double t0 = now();
  imageObject->DecodeFromFile(path, format);
  const double t1 = now();
  imageObject->EecodeToFile(workingPath(kJpegCopy), IMAGE_FORMAT_JPG);
  const double t2 = now();
  if (format == IMAGE_FORMAT_PNG) copyFile(path, workingPath(kPngCopy));
  else imageObject->EecodeToFile(workingPath(kPngCopy), IMAGE_FORMAT_PNG);
  const double t3 = now();
  sizeIsMultipleOf4();
  const double t4 = now();
  openWindow(WindowId::Main)->pictureBox()->setPicture(readFileBytes(workingPath(kJpegCopy)));
  UpdateWindow(openWindow(WindowId::Main)->hwnd());
  const double t5 = now();
  best = {std::min(best.decode, t1 - t0), std::min(best.jpeg, t2 - t1), std::min(best.png, t3 - t2),
          std::min(best.probe, t4 - t3), std::min(best.show, t5 - t4)};
}

double timeTakeIn(const Text& path) {
  HWND box = windowHandle(openWindow(WindowId::Main)->pictureBox());
  const double start = now();
  takeInPicture(path, box);
  UpdateWindow(openWindow(WindowId::Main)->hwnd());
  return now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  initProgramDir();
  imageObject = std::make_unique<ImageObject>();
  loadWindow(WindowId::Main);
  std::printf("%-22s %7s %7s %7s %7s %7s %8s %8s %8s\n", "picture", "decode", "jpeg", "png", "probe", "show",
              "parts", "take in", "goal");
  for (int i = 1; i < argc; ++i) {
    const Text path = argv[i];
    Parts parts;
    double takeIn = 1e9;
    for (int run = 0; run < 2; ++run) {
      timeParts(path, parts);
      takeIn = std::min(takeIn, timeTakeIn(path));
    }
    const double goal = parts.decode + parts.png + 300;
    const char* name = path.c_str() + path.rfind('\\') + 1;
    std::printf("%-22s %7.0f %7.0f %7.0f %7.0f %7.0f %8.0f %8.0f %8.0f %s\n", name, parts.decode, parts.jpeg,
                parts.png, parts.probe, parts.show,
                parts.decode + parts.jpeg + parts.png + parts.probe + parts.show, takeIn, goal,
                takeIn <= goal ? "met" : "missed");
  }
  deleteFile(workingPath(kJpegCopy));
  deleteFile(workingPath(kPngCopy));
  return 0;
}
