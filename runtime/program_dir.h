#pragma once
// The directory that holds the executable, without a trailing "\".
#include <string>

#include "text.h"

struct ExecutablePath {
  Text directory;
  Text fileName;
};

// Splits at the last "\", walking the text in GBK (or the code page given)
// so that the second byte of a two-byte character is never taken for a
// separator.
ExecutablePath splitExecutablePath(std::string_view path, unsigned codePage = kTextCodePage);

// Works out programDir from GetModuleFileNameA and makes it the current
// directory. Called once at start, before any second thread exists.
void initProgramDir();

// Makes programDir the current directory again (a drive root with its "\").
void makeProgramDirCurrent();

// A fresh copy of the program directory.
Text programDir();
// The program directory as Windows names it (UTF-16), also where
// programDir could only give a short name or no usable path.
std::wstring programDirForWindows();
