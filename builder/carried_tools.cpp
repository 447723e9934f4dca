#include "carried_tools.h"

#include <windows.h>

#include "files.h"
#include "working_files.h"

extern const unsigned char kColorEchoBytes[], kDdsConvBytes[], kConversionScriptBytes[];
extern const unsigned long kColorEchoBytesSize, kDdsConvBytesSize, kConversionScriptBytesSize;

const CarriedFile* carriedFiles(std::size_t& count) {
  static const CarriedFile files[] = {
      {kColorEcho, bufferFromMemory(kColorEchoBytes, kColorEchoBytesSize)},
      {kDdsConv, bufferFromMemory(kDdsConvBytes, kDdsConvBytesSize)},
      {kConversionScript, bufferFromMemory(kConversionScriptBytes, kConversionScriptBytesSize)},
  };
  count = 3;
  return files;
}

namespace {

constexpr std::uint32_t kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Runs `use` with each carried file's path under programDir, in order.
template <typename Use>
void forEachCarriedFile(Use use) {
  std::size_t count = 0;
  const CarriedFile* files = carriedFiles(count);
  for (std::size_t i = 0; i < count; ++i) use(workingPath(files[i].name), files[i]);
}

}  // namespace

void extractTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile& file) {
    // A stale copy left hidden by an earlier run is replaced, not used.
    if (fileExists(path)) setFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    writeFileBytes(path, file.bytes);
  });
  forEachCarriedFile([](const Text& path, const CarriedFile&) { setFileAttributes(path, kHiddenSystem); });
}

void restoreMissingTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile& file) {
    if (fileExists(path)) return;
    writeFileBytes(path, file.bytes);
    setFileAttributes(path, kHiddenSystem);
  });
}

void removeTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile&) { deleteFile(path); });
}
