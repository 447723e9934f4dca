#include "start_program.h"

#include <windows.h>
#include <ole2.h>

#include "fatal_error.h"
#include "one_copy.h"
#include "picture_state.h"
#include "program_dir.h"
#include "program_windows.h"
#include "system_dlls.h"

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
  restrictDllSearchToSystemFolder();
  initProgramDir();
  ProgramFolderLock folder(programDirForWindows());  // held until the program ends
  if (!isTheFolderProgram(folder)) return 0;
  OleInitialize(nullptr);
  createImageObject();
  exitRoutine = releaseAtExit;
  if (!loadWindow(WindowId::Main)) fatalError(0, "载入启动窗口失败");
  runMessageLoop();
  if (exitRoutine) exitRoutine();
  OleUninitialize();
  return 0;
}
