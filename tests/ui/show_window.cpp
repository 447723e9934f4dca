// Shows one window of the program on its own, for screenshots:
//   show_window main | about | busy
// (The busy window is otherwise reached only with a picture taken in.)
#include <windows.h>
#include <ole2.h>

#include <cstring>

#include "program_windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  OleInitialize(nullptr);
  WindowId id = WindowId::Main;
  if (std::strstr(commandLine, "about")) id = WindowId::About;
  if (std::strstr(commandLine, "busy")) id = WindowId::Busy;
  if (!loadWindow(id)) return 1;
  runMessageLoop();
  OleUninitialize();
  return 0;
}
