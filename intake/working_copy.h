#pragma once
// Writing one of the picture's working copies beside the program.
#include <windows.h>

#include <functional>

#include "text.h"

// Writes the working copy `name` (of working_files.h) with `write`, made a
// normal file before (a read-only copy cannot be replaced) and after (an
// encoder or a copy may hand on a source's attributes), briefly patient
// with a viewer or the shell that holds the earlier copy. Whether it was
// written whole; otherwise `error` holds why (ERROR_DISK_FULL for a full
// disk).
bool writeWorkingCopy(const char* name, const std::function<bool(const Text& path)>& write, DWORD& error);
