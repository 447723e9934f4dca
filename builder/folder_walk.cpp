#include "folder_walk.h"

#include <windows.h>

#include <vector>

#include "files.h"
#include "handles.h"
#include "wide_text.h"

namespace {

struct Listing {
  std::vector<Text> files, folders;
};

// Names as GBK: the archive stores them so. One with no GBK form comes out
// with "?" and cannot be opened, so it ends an archive as a failure, and
// makes a staging folder the user's.
Listing listFolder(const Text& folder) {
  Listing listing;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(widen(joinText(folder, "\\*.*")).c_str(), &found));
  if (!search) return listing;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const Text path = joinText(folder, "\\", narrow(name));
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) listing.folders.push_back(path);
    else listing.files.push_back(path);
  } while (FindNextFileW(search.get(), &found));
  return listing;
}

}  // namespace

bool walkFolderTree(const Text& folder, const std::function<bool(const Text&, bool)>& visit) {
  const Listing listing = listFolder(folder);
  for (const Text& file : listing.files)
    if (fileExists(file) && !visit(file, false)) return false;
  for (const Text& sub : listing.folders)
    if (!visit(sub, true) || !walkFolderTree(sub, visit)) return false;
  return true;
}

int countFolderTreeEntries(const Text& folder) {
  int count = 0;
  walkFolderTree(folder, [&](const Text&, bool) { return ++count > 0; });
  return count;
}
