#include "carried_tools.h"

#include <windows.h>

#include "files.h"
#include "program_dir.h"

extern const unsigned char kColorEchoBytes[], kDdsConvBytes[], kConversionScriptBytes[];
extern const unsigned long kColorEchoBytesSize, kDdsConvBytesSize, kConversionScriptBytesSize;

namespace {
constexpr std::uint32_t kHiddenSystem = 6;
}  // namespace

const CarriedFile* carriedFiles(std::size_t& count) {
  static const CarriedFile files[] = {
      {"\\colorecho.exe", bufferFromMemory(kColorEchoBytes, kColorEchoBytesSize)},
      {"\\ddsconv.exe", bufferFromMemory(kDdsConvBytes, kDdsConvBytesSize)},
      {"\\PNG_To_DDS.cmd", bufferFromMemory(kConversionScriptBytes, kConversionScriptBytesSize)},
  };
  count = 3;
  return files;
}

void extractTools() {
  std::size_t count = 0;
  const CarriedFile* files = carriedFiles(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Text path = joinText(programDir(), files[i].name);
    // A stale copy left hidden by an earlier run is replaced, not used.
    if (fileExists(path)) setFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    writeFileBytes(path, files[i].bytes);
  }
  for (std::size_t i = 0; i < count; ++i) setFileAttributes(joinText(programDir(), files[i].name), kHiddenSystem);
}

void restoreMissingTools() {
  std::size_t count = 0;
  const CarriedFile* files = carriedFiles(count);
  for (std::size_t i = 0; i < count; ++i) {
    const Text path = joinText(programDir(), files[i].name);
    if (fileExists(path)) continue;
    writeFileBytes(path, files[i].bytes);
    setFileAttributes(path, kHiddenSystem);
  }
}

void removeTools() {
  std::size_t count = 0;
  const CarriedFile* files = carriedFiles(count);
  for (std::size_t i = 0; i < count; ++i) deleteFile(joinText(programDir(), files[i].name));
}
