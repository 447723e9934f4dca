#include <windows.h>

#include "start_program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return startProgram(); }
