#pragma once
// The build that "开始制作" sets going: the PNG working copy converted to a
// texture by the carried script, staged with a note, archived onto the
// desktop, on a worker thread while the busy window is up.
#include <windows.h>

#include "drive_letter.h"
#include "program_dir.h"
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

// The main window's end-of-session events. While a build archives, Windows
// is asked to wait (the main window holds the session's end with the reason
// "正在制作载入背景，请稍候…"), until the archive is finished or abandoned.
bool sessionMayEnd();
// Windows ends the session now: a running conversion's job is ended, an
// archive being written is abandoned and its unfinished file removed, and
// the carried files are removed, as closing the main window does.
void sessionEnding();

// The note packed beside the texture: four GBK lines joined by CR LF.
Text packageNote();

// The system's own command interpreter (cmd.exe of the system folder).
Text systemInterpreter();
// Where the conversion script runs and what runs it: the program folder,
// the system's interpreter, and for a folder on a network share, a drive
// letter mapped onto it. (A test stands in for each where Wine is more
// forgiving than Windows, or cannot do what Windows does.)
struct ScriptHost {
  Text folder = programDir();
  Text interpreter = systemInterpreter();
  DriveMapping drives = dosDeviceMapping();
};

// The script run in programDir by relative names, with the folder ".\" as
// its argument: no path of the program folder stands in the command line,
// so none is split at a blank or "&" or expanded once more for a "%" (the
// script keeps its paths in loop variables). The system's own command
// interpreter runs it with AutoRun commands off (/d), so that a user's
// AutoRun entry can neither change how the script is read nor run anything
// in its hidden console, and delayed expansion off (/v:off: a registry
// setting may turn it on, and every "!" of a path would go). The console is
// switched to code page 936 first, since the interpreter reads a batch file
// in its console's code page and the script is GBK (a Western, Japanese or
// UTF-8 Windows would misread it); where the switch fails the script runs
// anyway.
Text scriptCommandLine(const Text& interpreter = systemInterpreter());
// Restores carried files that are missing or changed, then runConversion.
bool convertPicture(unsigned timeoutMs);
// Copies the PNG working copy to the .bak the script looks for and runs the
// script with the carried files as they are, ending it (and what it
// started) after timeoutMs. True when the texture exists afterwards. A
// program folder on a network share runs the script on a drive letter
// mapped onto it for the run (the interpreter refuses a \\server\share
// current folder); where no letter is free nothing runs, and the build
// fails.
bool runConversion(unsigned timeoutMs, const ScriptHost& host = {});
