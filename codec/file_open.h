#pragma once
// Opening a picture file by its path. Paths are GBK texts, as everywhere in
// the program; on Windows the file is opened through its UTF-16 name, so
// that the system's own code page does not matter.
#include <cstdio>
#include <string>

std::FILE* openFile(const std::string& path, const char* mode);

#ifdef _WIN32
// A GBK path as Windows takes it, in UTF-16, whatever the system's code page.
std::wstring windowsPath(const std::string& path);
#endif
