#pragma once
// One copy of the program per program folder.
#include "program_folder_lock.h"

// True when this copy is the program of its folder and goes on: it took
// the folder's lock, or the folder takes no files (no lock there), or the
// lock could not be had for another reason within the wait. False when
// this copy is to end at once, having written, changed and deleted
// nothing: the copy that holds the lock was brought to the front (its
// message box, its busy window, else its main window), or, where it shows
// no window this copy can reach (another PC, another session, a copy that
// hangs), the user was told so. A copy that is closing is waited for a few
// seconds.
bool isTheFolderProgram(ProgramFolderLock& lock);
