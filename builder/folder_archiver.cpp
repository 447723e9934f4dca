#include "folder_archiver.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <thread>
#include <vector>

#include <zlib.h>

#include "archive_output.h"
#include "block_deflate.h"
#include "files.h"
#include "folder_walk.h"
#include "handles.h"
#include "wide_text.h"
#include "zip_headers.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// A small pool: the cores there are, at most four.
unsigned deflateThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 4u); }

// A stored entry: the bytes as they are, through CRC-32.
bool storeFile(const ReadBytes& read, const WriteBytes& write, DeflatedFile& data) {
  std::vector<std::uint8_t> chunk(kChunk);
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  for (;;) {
    const long long got = read(chunk.data(), chunk.size());
    if (got < 0) return false;
    if (got == 0) break;
    crc = static_cast<std::uint32_t>(crc32(crc, chunk.data(), static_cast<uInt>(got)));
    data.size += static_cast<std::uint32_t>(got);
    if (!write(chunk.data(), static_cast<std::size_t>(got))) return false;
  }
  data.crc = crc;
  data.compressedSize = data.size;
  return true;
}

// One call's work: the output, the counters and the central records.
class ArchiveWriter {
 public:
  ArchiveWriter(HANDLE target, const Text& source, int total, const std::function<void(int)>& progress,
                const std::atomic<bool>* abandoned)
      : output_(target), source_(source), total_(total), progress_(progress), abandoned_(abandoned) {}

  bool add(const Text& path, bool isFolder) {
    return !isAbandoned() && (isFolder ? addFolder(path) : addFile(path));
  }
  bool finish();

 private:
  bool addFile(const Text& path);
  bool addFolder(const Text& path);
  bool copyData(HANDLE file, zip::EntryRecord& entry);
  void entryWritten();
  Text relativeName(const Text& path, bool folder) const;
  bool isAbandoned() const { return abandoned_ && *abandoned_; }

  FileSink output_;
  Text source_;
  int total_, done_ = 0;
  const std::function<void(int)>& progress_;
  const std::atomic<bool>* abandoned_;
  std::vector<zip::EntryRecord> entries_;
};

Text ArchiveWriter::relativeName(const Text& path, bool folder) const {
  Text name = path.substr(source_.size());
  if (!name.empty() && name[0] == '\\') name.erase(0, 1);
  std::replace(name.begin(), name.end(), '\\', '/');
  if (folder && (name.empty() || name.back() != '/')) name += '/';
  return name;
}

bool ArchiveWriter::addFolder(const Text& path) {
  const zip::EntryRecord entry{relativeName(path, true), 0, zip::kStored, zip::timesNow(), 0, 0, 0,
                               (zip::kFolderMode << 16) | FILE_ATTRIBUTE_DIRECTORY, output_.offset()};
  if (!zip::writeLocalHeader(output_, entry)) return false;
  entries_.push_back(entry);
  entryWritten();
  return true;
}

bool ArchiveWriter::addFile(const Text& path) {
  FileHandle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return false;
  const bool readOnly = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  zip::EntryRecord entry{relativeName(path, false), zip::kSizesFollow, zip::kDeflated,
                         zip::timesOf(info.ftLastWriteTime, info.ftLastAccessTime, info.ftCreationTime), 0, 0,
                         info.nFileSizeLow,
                         ((readOnly ? zip::kReadOnlyFileMode : zip::kFileMode) << 16) |
                             (info.dwFileAttributes & zip::kKeptWindowsAttributes),
                         output_.offset()};
  if (isStoredSuffix(entry.name)) {
    entry.method = zip::kStored;
    entry.compressedSize = entry.size;
  }
  // The sizes are known only once the data is written: the local header
  // is written again then.
  if (!zip::writeLocalHeader(output_, entry) || !copyData(file.get(), entry)) return false;
  entry.flags = entry.method == zip::kDeflated ? zip::kMaximumCompression : 0;
  MemorySink header;
  zip::writeLocalHeader(header, entry);
  if (!output_.rewrite(entry.offset, header.bytes())) return false;
  entries_.push_back(entry);
  entryWritten();
  return true;
}

// The file's bytes through CRC-32 and, deflated, one raw deflate stream
// (in blocks on all cores for a large file), read in one pass.
bool ArchiveWriter::copyData(HANDLE file, zip::EntryRecord& entry) {
  const ReadBytes read = [&](std::uint8_t* buffer, std::size_t capacity) -> long long {
    DWORD got = 0;
    if (isAbandoned() || !ReadFile(file, buffer, static_cast<DWORD>(capacity), &got, nullptr)) return -1;
    return got;
  };
  const WriteBytes write = [&](const std::uint8_t* bytes, std::size_t count) { return output_.write(bytes, count); };
  DeflatedFile data;
  const bool ok = entry.method == zip::kDeflated ? deflateFile(read, write, deflateThreads(), abandoned_, data)
                                                  : storeFile(read, write, data);
  entry.crc = data.crc;
  entry.size = data.size;
  entry.compressedSize = data.compressedSize;
  return ok;
}

void ArchiveWriter::entryWritten() {
  ++done_;
  if (progress_) progress_(progressPercent(done_, total_));
}

bool ArchiveWriter::finish() {
  const std::uint32_t start = output_.offset();
  for (const zip::EntryRecord& entry : entries_)
    if (!zip::writeCentralHeader(output_, entry)) return false;
  return zip::writeEndRecord(output_, static_cast<std::uint16_t>(entries_.size()), output_.offset() - start, start);
}

}  // namespace

int progressPercent(int entriesDone, int entriesTotal) {
  if (entriesTotal <= 0) return 0;
  return static_cast<int>(static_cast<double>(entriesDone) / static_cast<double>(entriesTotal) * 100.0);
}

bool isStoredSuffix(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view suffix = name.substr(dot);
  for (const char* stored : {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"})
    if (suffix.size() == std::strlen(stored) &&
        std::equal(suffix.begin(), suffix.end(), stored,
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                               std::tolower(static_cast<unsigned char>(b)); }))
      return true;
  return false;
}

int FolderArchiver::compressFolder(const Text& source, const Text& target) {
  if (source.empty() || target.empty() || !fileExists(source)) return -1;
  FileHandle file(CreateFileW(widen(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  ArchiveWriter writer(file.get(), source, countFolderTreeEntries(source), archiveProgress, abandoned);
  const bool complete = walkFolderTree(source, [&](const Text& path, bool isFolder) { return writer.add(path, isFolder); });
  const bool finished = writer.finish();  // also after a failed entry
  return complete && finished && closeWrittenFile(file) ? 1 : 0;
}
