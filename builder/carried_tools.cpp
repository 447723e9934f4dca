#include "carried_tools.h"

#include <windows.h>

#include "files.h"
#include "patience.h"
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

// A stale copy left hidden by an earlier run is replaced, not used.
bool writeCarriedFile(const Text& path, const CarriedFile& file, Patience patience) {
  return patiently(patience, path, [&] {
    if (fileExists(path)) setFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    return writeFileBytes(path, file.bytes);
  });
}

}  // namespace

void extractTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile& file) { writeCarriedFile(path, file, Patience::Brief); });
  forEachCarriedFile([](const Text& path, const CarriedFile&) { setFileAttributes(path, kHiddenSystem); });
}

void restoreCarriedTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile& file) {
    if (readFileBytes(path).view() == file.bytes.view()) return;
    writeCarriedFile(path, file, Patience::Long);
    setFileAttributes(path, kHiddenSystem);
  });
}

// At the end of the program or of the session: briefly patient (an ended
// converter lets go of its file a moment later).
void removeTools() {
  forEachCarriedFile([](const Text& path, const CarriedFile&) {
    patiently(Patience::Brief, path, [&] { return deleteFile(path); });
  });
}
