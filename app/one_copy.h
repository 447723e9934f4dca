#pragma once
// One copy of the program per program folder.
#include "program_folder_lock.h"

// True when this copy is the program of its folder and goes on. Where
// another copy runs there, that copy's window in front (a message box, the
// busy window, else its main window) is brought to the front and this one
// is to end at once, having written, changed and deleted nothing. A copy
// that is closing (its windows already gone) is waited for a few seconds,
// then this one goes on.
bool isTheFolderProgram(ProgramFolderLock& lock);
