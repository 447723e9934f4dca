#include "working_copy.h"

#include "files.h"
#include "patience.h"
#include "working_files.h"

bool writeWorkingCopy(const char* name, const std::function<bool(const Text& path)>& write, DWORD& error) {
  const Text path = workingPath(name);
  const bool written = patiently(Patience::Brief, path, [&] {
    makeNormalFile(path);
    const bool done = write(path);
    const DWORD failure = GetLastError();
    makeNormalFile(path);
    SetLastError(failure);
    return done;
  });
  error = written ? ERROR_SUCCESS : GetLastError();
  return written;
}
