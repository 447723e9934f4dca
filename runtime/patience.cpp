#include "patience.h"

#include <windows.h>

#include <algorithm>

#include "files.h"

namespace {


// The folder of a path, for the check that it takes new files.
Text folderOf(const Text& file) {
  const std::size_t separator = file.find_last_of('\\');
  return separator == Text::npos ? Text(".") : file.substr(0, separator);
}

bool heldByAnother(DWORD error, const Text& file, bool& folderChecked, bool& folderWritable) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  if (error != ERROR_ACCESS_DENIED || !fileExists(file)) return false;
  if (!folderChecked) {
    folderWritable = folderTakesNewFiles(folderOf(file));
    folderChecked = true;
  }
  return folderWritable;
}

}  // namespace

bool patiently(Patience patience, const Text& file, const std::function<bool()>& attempt) {
  const DWORD start = GetTickCount();
  bool folderChecked = false, folderWritable = false;
  for (DWORD pause = 10;; pause = std::min<DWORD>(pause * 2, 500)) {
    SetLastError(ERROR_SUCCESS);
    if (attempt()) return true;
    const DWORD error = GetLastError();
    const DWORD waited = GetTickCount() - start;
    if (!heldByAnother(error, file, folderChecked, folderWritable) || waited >= patienceBudgetMs(patience)) {
      SetLastError(error);
      return false;
    }
    Sleep(std::min(pause, patienceBudgetMs(patience) - waited));
  }
}
