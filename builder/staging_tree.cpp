#include "staging_tree.h"

#include <windows.h>

#include "handles.h"

namespace {

struct StagedEntry {
  const char* path;  // relative to the staging folder
  bool isFolder;
};
constexpr StagedEntry kStaged[] = {{"Data", true},
                                   {"Data\\Tarvex Forge.txt", false},
                                   {"Data\\LoadingScreen", true},
                                   {"Data\\LoadingScreen\\SRBackground.dds", false}};

bool isStaged(const Text& relative, bool isFolder) {
  for (const StagedEntry& entry : kStaged)
    if (entry.isFolder == isFolder && lstrcmpiA(entry.path, relative.c_str()) == 0) return true;
  return false;
}

bool onlyStagedBelow(const Text& root, const Text& relative) {
  const Text folder = relative.empty() ? root : joinText(root, "\\", relative);
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA(joinText(folder, "\\*").c_str(), &found));
  if (!search) return true;
  do {
    const Text name = found.cFileName;
    if (name == "." || name == "..") continue;
    const Text entry = relative.empty() ? name : joinText(relative, "\\", name);
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isStaged(entry, isFolder) || (isFolder && !onlyStagedBelow(root, entry))) return false;
  } while (FindNextFileA(search.get(), &found));
  return true;
}

}  // namespace

bool holdsOnlyStagedFiles(const Text& stagingFolder) {
  const DWORD attributes = GetFileAttributesA(stagingFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && onlyStagedBelow(stagingFolder, "");
}
