// build_bench <png>...: times one build per picture, as "开始制作" runs it:
// from the busy window's load to the message box, and apart from it the
// conversion (script and converter) and the archiving of a staged package.
// Staging is the rest. Prints milliseconds; the archive lands on the
// prefix's desktop.
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "build_pipeline.h"
#include "bench_clock.h"
#include "files.h"
#include "folder_archiver.h"
#include "main_window.h"
#include "program_dir.h"
#include "picture_state.h"
#include "special_folder.h"
#include "program_windows.h"
#include "working_files.h"

namespace {

Text inProgramDir(const char* name) { return joinText(programDir(), name); }

// "开始制作" to the message box, which a second thread dismisses.
double timeWholeBuild() {
  std::atomic<double> messageAt{0};
  std::atomic<bool> done{false};
  std::thread user([&] {
    while (!done) {
      HWND box = FindWindowA("#32770", nullptr);
      if (box && IsWindowVisible(box)) {
        messageAt = now();
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box)) Sleep(5);
      }
      Sleep(2);
    }
  });
  const double start = now();
  showBusyWindow();
  done = true;
  user.join();
  return messageAt - start;
}

double timeArchiving() {
  const Text staging = inProgramDir("\\bench-zip");
  removeFolderTree(staging);
  createFolder(staging);
  createFolder(staging + "\\Data");
  createFolder(staging + "\\Data\\LoadingScreen");
  writeFileBytes(staging + "\\Data\\Tarvex Forge.txt", textToBuffer(packageNote()));
  copyFile(inProgramDir(kTexture), staging + "\\Data\\LoadingScreen\\SRBackground.dds");
  FolderArchiver archiver;
  const double start = now();
  archiver.compressFolder(staging, specialFolder(kDesktopFolder) + "bench.zip");
  const double archiving = now() - start;
  removeFolderTree(staging);
  deleteFile(specialFolder(kDesktopFolder) + "bench.zip");
  return archiving;
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  initProgramDir();
  imageObject = std::make_unique<ImageObject>();
  loadWindow(WindowId::Main);
  std::printf("%-28s %10s %10s %10s %10s\n", "picture", "convert", "stage", "archive", "total");
  for (int i = 1; i < argc; ++i) {
    copyFile(argv[i], inProgramDir(kPngCopy));
    const double t0 = now();
    convertPicture(10 * 60 * 1000);
    const double converting = now() - t0;
    const double archiving = timeArchiving();
    copyFile(argv[i], inProgramDir(kPngCopy));
    const double total = timeWholeBuild();
    const char* name = std::strrchr(argv[i], '\\') ? std::strrchr(argv[i], '\\') + 1 : argv[i];
    std::printf("%-28s %10.0f %10.0f %10.0f %10.0f\n", name, converting, total - converting - archiving,
                archiving, total);
  }
  closeWindow(WindowId::Main, true);
  OleUninitialize();
  return 0;
}
