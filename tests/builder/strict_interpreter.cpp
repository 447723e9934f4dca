// Stands in for Windows' command interpreter where Wine's is more forgiving:
// Windows' cmd.exe refuses a current folder on a network share ("CMD does
// not support UNC paths as current directories") and starts in the Windows
// folder instead; Wine's accepts one. This program writes the folder it was
// started in and its command line to strict_interpreter.log beside itself,
// takes that folder as Windows' cmd.exe would, and runs Wine's cmd.exe with
// the same arguments there, ending with its exit code.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::wstring besideMe(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring me(path);
  return me.substr(0, me.find_last_of(L'\\') + 1) + name;
}

// The command line after the program's own name.
std::wstring arguments() {
  const std::wstring line = GetCommandLineW();
  std::size_t at = 0;
  if (line[0] == L'"') at = line.find(L'"', 1) + 1;
  else at = line.find(L' ');
  return at == std::wstring::npos || at >= line.size() ? std::wstring() : line.substr(at);
}

}  // namespace

int main() {
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring folder(current);
  std::ofstream(std::filesystem::path(besideMe(L"strict_interpreter.log")), std::ios::binary)
      << "folder=" << utf8(folder) << "\nline=" << utf8(arguments()) << "\n";
  if (folder.rfind(L"\\\\", 0) == 0) {
    std::printf("CMD does not support UNC paths as current directories.\n");
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    folder = windows;
  }
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(system) + L"\\cmd.exe\"" + arguments();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &started))
    return 9009;
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  return static_cast<int>(code);
}
