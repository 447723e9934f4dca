#pragma once
// Paths that Windows hands the program (a dropped or chosen picture, the
// program's own folder, the desktop), as GBK texts. A path that holds a
// character with no GBK form (a Korean name, "✿", an emoji) is taken by its
// short (8.3) name where the volume gives one; failing that, the character
// stands as "?", which no Windows path can hold, so the path is known to be
// unusable.
#include <string>
#include <string_view>

#include "text.h"

// The volume's short name of an existing path; empty where it has none
// (short names turned off for the volume).
using ShortPathLookup = std::wstring (*)(const std::wstring& path);
std::wstring systemShortPath(const std::wstring& path);

Text pathFromWindows(const std::wstring& path, ShortPathLookup shortPath = systemShortPath);
// False for a path that pathFromWindows could not give in GBK.
bool pathIsUsable(std::string_view path);
// The path with its short names replaced by the real ones, as the user
// named them (as GBK, "?" for a character it lacks); the path itself where
// Windows cannot say (no such file).
Text realPathOf(const Text& path);
