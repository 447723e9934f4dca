#pragma once
// The staging folder "\zip" that a build lays the package out in.
#include "text.h"

// True when the folder is missing or holds nothing but what a build stages
// (Data, Data\Tarvex Forge.txt, Data\LoadingScreen and its
// SRBackground.dds): then it is ours to remove. Anything else in it, a name
// beginning with "." included, makes it a folder of the user's own.
bool holdsOnlyStagedFiles(const Text& stagingFolder);
