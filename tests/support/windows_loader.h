#pragma once
// What a clean Windows' loader does that Wine's does not: refuse a program
// that imports a DLL Windows lacks. Wine carries such DLLs, zlib1.dll among
// them, and cannot hide zlib1.dll from a program, since its own user32.dll
// imports it; the UI tests therefore read the program's import table
// before they start it.
#include <string>
#include <vector>

// The DLL names in the executable's import table, as written there; empty
// when the file is not a readable PE image.
std::vector<std::string> importedDlls(const std::string& executable);
// The imported DLLs that Windows 7 to 11 do not have out of the box.
std::vector<std::string> dllsMissingOnWindows(const std::string& executable);
