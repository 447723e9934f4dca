#pragma once
// The three files the program carries: written into programDir when the
// main window has been created, removed when it is about to be destroyed.
#include "byte_buffer.h"

struct CarriedFile {
  const char* name;  // under programDir, beginning with "\"
  ByteBuffer bytes;
};

// colorecho.exe, ddsconv.exe and PNG_To_DDS.cmd, in the order written.
const CarriedFile* carriedFiles(std::size_t& count);

void extractTools();
// Writes again, hidden and system, any carried file that is missing
// (another instance of the program removed them when it closed) or whose
// bytes differ from what the program carries (a virus scanner truncated
// it, an earlier version of the program left it behind).
void restoreCarriedTools();
void removeTools();
