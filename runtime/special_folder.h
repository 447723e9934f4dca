#pragma once
#include "text.h"

inline constexpr int kDesktopFolder = 3;

// Appends "\" when the last byte is not one (an empty path stays empty).
Text withTrailingBackslash(const Text& path);

// Kind 3 is the user's desktop directory; the result ends with "\", or is
// empty when the folder cannot be found.
Text specialFolder(int kind);

// The system directory (GetSystemDirectory), without a trailing "\\".
Text systemFolder();
