#include "staging_tree.h"

#include <windows.h>

#include "folder_walk.h"

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

}  // namespace

bool holdsOnlyStagedFiles(const Text& stagingFolder) {
  const DWORD attributes = GetFileAttributesA(stagingFolder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return walkFolderTree(stagingFolder, [&](const Text& path, bool isFolder) {
    return isStaged(path.substr(stagingFolder.size() + 1), isFolder);
  });
}
