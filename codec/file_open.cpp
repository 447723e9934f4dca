#include "file_open.h"

#ifdef _WIN32
#include <windows.h>

std::wstring windowsPath(const std::string& path) {
  constexpr unsigned kGbk = 936;
  const int length = MultiByteToWideChar(kGbk, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kGbk, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return wide;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(windowsPath(path).c_str(), wideMode.c_str());
}
#else
std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
#endif
