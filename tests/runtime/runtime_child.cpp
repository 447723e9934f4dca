// Started by the runtime tests; each mode reports one thing from inside a
// process of its own.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

#include "arithmetic.h"
#include "byte_buffer.h"
#include "fatal_error.h"
#include "program_dir.h"

namespace {

// Larger than the address space of the process.
constexpr std::size_t kUnallocatable =
    sizeof(void*) == 4 ? std::size_t{0x7FFFFFF0} : std::size_t(0x7FFFFFF00000ull);

void report(const char* path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "startupinfo" && argc == 3) {  // what runCommandLine handed over
    STARTUPINFOA info{};
    GetStartupInfoA(&info);
    report(argv[2], std::to_string(info.dwFlags) + " " + std::to_string(info.wShowWindow));
    return 0;
  }
  if (mode == "console" && argc == 3) {  // a console of its own, and whether it has a window
    DWORD consoleMode = 0;
    const bool console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &consoleMode) ||
                         GetConsoleCP() != 0;
    report(argv[2], std::string(console ? "console" : "no console") +
                        (GetConsoleWindow() ? " with window" : " without window"));
    return 0;
  }
  if (mode == "programdir" && argc == 3) {  // programDir and the current directory
    initProgramDir();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    report(argv[2], programDir() + "|" + current);
    return 0;
  }
  if (mode == "fatal" && argc == 4) {
    fatalError(std::atoi(argv[2]), argv[3]);
  }
  if (mode == "alloc") {  // the services' own buffer cannot be allocated
    ByteBuffer huge(kUnallocatable);
    return huge.empty() ? 4 : 5;
  }
  if (mode == "newfail") {  // a plain failed allocation stays an exception
    try {
      // An explicit operator call: a new-expression could be elided.
      void* bytes = ::operator new(kUnallocatable);
      ::operator delete(bytes);
      return 5;
    } catch (const std::bad_alloc&) {
      return 3;
    }
  }
  if (mode == "remainder") {
    return static_cast<int>(remainderOf(7, 0));
  }
  if (mode == "sleep") {
    Sleep(3000);
    return 0;
  }
  return 2;
}
