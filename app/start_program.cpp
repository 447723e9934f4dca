#include "start_program.h"

#include <windows.h>
#include <ole2.h>

#include "fatal_error.h"
#include "program_dir.h"
#include "picture_state.h"
#include "program_windows.h"

namespace {

void (*exitRoutine)() = nullptr;

void createImageObject() { imageObject = std::make_unique<ImageObject>(); }

// The exit routine: runs once, on the UI thread, after the last window.
void releaseAtExit() {
  if (imageObject) imageObject->Free();
  imageObject.reset();
  sourceImagePath.clear();
}

}  // namespace

int startProgram() {
  initProgramDir();
  OleInitialize(nullptr);
  createImageObject();
  exitRoutine = releaseAtExit;
  if (!loadWindow(WindowId::Main)) fatalError(0, "载入启动窗口失败");
  runMessageLoop();
  if (exitRoutine) exitRoutine();
  OleUninitialize();
  return 0;
}
