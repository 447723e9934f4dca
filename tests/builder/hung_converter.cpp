// Stands in for the converter and never ends, so that the build's time-out
// can be seen ending it. Writes its process id beside itself first.
#include <windows.h>

#include <fstream>
#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string pidFile(path);
  pidFile = pidFile.substr(0, pidFile.rfind('\\')) + "\\hung_converter.pid";
  std::ofstream(pidFile) << GetCurrentProcessId();
  Sleep(INFINITE);
  return 0;
}
