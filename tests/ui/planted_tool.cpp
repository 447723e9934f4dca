// A program named like a carried tool with the extension the command
// interpreter tries first (colorecho.com, ddsconv.com), as a web page may
// drop one beside a portable program: when it runs, it leaves a marker
// file beside itself, <its name>-ran.txt.
#include <windows.h>

#include <string>

int main() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const HANDLE marker = CreateFileW((std::wstring(path) + L"-ran.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return 0;
}
