#pragma once
// The entries of a folder tree in the order the archive holds them: a
// folder's files first, then each of its folders followed by that folder's
// own entries. Only "." and ".." are left out (a name beginning with "." is
// an entry like any other), and a file that is gone when it is reached.
#include <functional>

#include "text.h"

// Visits each entry's path; stops at the first visit that returns false,
// and returns false then.
bool walkFolderTree(const Text& folder, const std::function<bool(const Text& path, bool isFolder)>& visit);
int countFolderTreeEntries(const Text& folder);
