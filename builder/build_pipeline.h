#pragma once
// The build that "开始制作" sets going: the PNG working copy converted to a
// texture by the carried script, staged with a note, archived onto the
// desktop, on a worker thread while the busy window is up.
#include <windows.h>

#include "text.h"

// The units a build changes, by handle (ui_requests.h): the worker holds
// no window object.
struct BuildWindows {
  HWND busyWindow = nullptr;   // closed at the end of every build
  HWND pictureBox = nullptr;   // emptied after a successful one
  HWND progressBar = nullptr;  // follows the archiver's progress
};

// The busy window's created event: starts the worker and returns at once.
void startBuildWorker(const BuildWindows& windows);
// The worker's body: one build from start to end, ending with the busy
// window's close request.
void buildPackage(const BuildWindows& windows);
// The may-close event of the busy and the main window: no close request is
// honoured while a build runs, except the build's own close of the busy
// window (closing the main window would remove the tools under the script).
bool windowMayClose();

// The note packed beside the texture: four GBK lines joined by CR LF.
Text packageNote();
// The script with programDir as its argument, both quoted: the folder may
// contain blanks.
Text scriptCommandLine();
// Restores missing carried files, copies the PNG working copy to the .bak
// the script looks for and runs the script, ending it (and what it started)
// after timeoutMs. True when the texture exists afterwards.
bool convertPicture(unsigned timeoutMs);
