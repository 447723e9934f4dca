#pragma once
// The folder archiver (ZIP压缩1): packs a folder tree into a ZIP archive,
// each file deflated in one streaming pass, and raises its progress event
// after every entry. Its pieces: the walk (folder_walk.h), the records
// (zip_headers.h) and the output they are written to (archive_output.h).
#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "text.h"
#include "zip_headers.h"  // extendedTimestamp

class FolderArchiver {
 public:
  // 1 on success, 0 on failure (the entries written before it stay in a
  // finished archive), -1 when an argument is empty or the source missing.
  int compressFolder(const Text& source, const Text& target);

  // The progress event: percent of the entries written, after each one.
  std::function<void(int percent)> archiveProgress;
  // When set and true, the archive is abandoned at the next step (the
  // session ends): compressFolder finishes what it wrote and returns 0.
  const std::atomic<bool>* abandoned = nullptr;
};

// The progress percentage, computed in double precision and truncated.
int progressPercent(int entriesDone, int entriesTotal);
// True when the name ends, after its last ".", in a suffix that is stored
// rather than deflated (.Z .zip .zoo .arc .lzh .arj .gz .tgz, any case).
bool isStoredSuffix(std::string_view name);
