#include "staging_tree.h"

#include <windows.h>

#include "folder_walk.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

struct StagedEntry {
  const char* path;  // a working path under the staging folder
  bool isFolder;
};
constexpr StagedEntry kStaged[] = {{kStagedDataFolder, true},
                                   {kStagedNote, false},
                                   {kStagedScreenFolder, true},
                                   {kStagedTexture, false}};

// Both compared below the staging folder, from the "\" after its name on.
bool isStaged(const Text& relative, bool isFolder) {
  for (const StagedEntry& entry : kStaged)
    if (entry.isFolder == isFolder &&
        lstrcmpiW(widen(entry.path + sizeof kStagingFolder - 1).c_str(), widen(relative).c_str()) == 0)
      return true;
  return false;
}

}  // namespace

bool holdsOnlyStagedFiles(const Text& stagingFolder) {
  const DWORD attributes = GetFileAttributesW(widen(stagingFolder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  return walkFolderTree(stagingFolder, [&](const Text& path, bool isFolder) {
    return isStaged(path.substr(stagingFolder.size()), isFolder);
  });
}
