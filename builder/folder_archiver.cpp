#include "folder_archiver.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <vector>

#include <zlib.h>

#include "files.h"
#include "handles.h"

namespace {

constexpr std::uint16_t kVersionMadeBy = 0x0B17, kVersionNeeded = 20;
constexpr std::size_t kChunk = 64 * 1024;

struct EntryTimes {
  std::uint16_t dosTime = 0, dosDate = 0;
  std::uint32_t modified = 0, accessed = 0, created = 0;
};

struct CentralRecord {
  Text name;
  std::uint16_t flags, method;
  EntryTimes times;
  std::uint32_t crc, compressedSize, size, externalAttributes, offset;
};

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::int64_t asInteger(const FILETIME& time) {
  return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

EntryTimes timesOf(const FILETIME& written, const FILETIME& accessed, const FILETIME& created) {
  EntryTimes times;
  FILETIME local;
  FileTimeToLocalFileTime(&written, &local);
  FileTimeToDosDateTime(&local, &times.dosDate, &times.dosTime);
  times.modified = extendedTimestamp(asInteger(written));
  times.accessed = extendedTimestamp(asInteger(accessed));
  times.created = extendedTimestamp(asInteger(created));
  return times;
}

EntryTimes timesNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return timesOf(now, now, now);
}

// The fields the local and the central header share, in their order:
// version needed, flags, method, DOS time and date, CRC, sizes, name length.
void putEntryFields(std::vector<std::uint8_t>& out, const CentralRecord& r) {
  put16(out, kVersionNeeded);
  put16(out, r.flags);
  put16(out, r.method);
  put16(out, r.times.dosTime);
  put16(out, r.times.dosDate);
  put32(out, r.crc);
  put32(out, r.compressedSize);
  put32(out, r.size);
  put16(out, static_cast<std::uint16_t>(r.name.size()));
}

std::vector<std::uint8_t> localHeader(const CentralRecord& r) {
  std::vector<std::uint8_t> out;
  put32(out, 0x04034B50);
  putEntryFields(out, r);
  put16(out, 17);
  out.insert(out.end(), r.name.begin(), r.name.end());
  put16(out, 0x5455);  // "UT"
  put16(out, 13);
  out.push_back(0x07);
  put32(out, r.times.modified);
  put32(out, r.times.accessed);
  put32(out, r.times.created);
  return out;
}

std::vector<std::uint8_t> centralHeader(const CentralRecord& r) {
  std::vector<std::uint8_t> out;
  put32(out, 0x02014B50);
  put16(out, kVersionMadeBy);
  putEntryFields(out, r);
  put16(out, 9);
  put16(out, 0);
  put16(out, 0);
  put16(out, 0);
  put32(out, r.externalAttributes);
  put32(out, r.offset);
  out.insert(out.end(), r.name.begin(), r.name.end());
  put16(out, 0x5455);
  put16(out, 5);
  out.push_back(0x07);
  put32(out, r.times.modified);
  return out;
}

// One call's work: the open target, the counters and the central records.
class ArchiveWriter {
 public:
  ArchiveWriter(HANDLE target, const Text& source, const std::function<void(int)>& progress)
      : target_(target), source_(source), progress_(progress) {}

  int countEntries(const Text& folder) const;
  bool walk(const Text& folder);
  bool finish();
  void setTotal(int total) { total_ = total; }

 private:
  bool write(const void* bytes, std::size_t count);
  bool addFile(const Text& path);
  bool addFolder(const Text& path);
  bool copyData(HANDLE file, CentralRecord& record);
  bool rewriteLocalHeader(const CentralRecord& record);
  void entryWritten();
  Text relativeName(const Text& path, bool folder) const;

  HANDLE target_;
  Text source_;
  const std::function<void(int)>& progress_;
  std::uint32_t offset_ = 0;
  int total_ = 0, done_ = 0;
  std::vector<CentralRecord> records_;
};

struct Listing {
  std::vector<Text> files, folders;
};

Listing listFolder(const Text& folder) {
  Listing listing;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA(joinText(folder, "\\*.*").c_str(), &found));
  if (!search) return listing;
  do {
    const Text name = found.cFileName;
    if (name == "." || name == "..") continue;
    const Text path = joinText(folder, "\\", name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) listing.folders.push_back(path);
    else listing.files.push_back(path);
  } while (FindNextFileA(search.get(), &found));
  return listing;
}

int ArchiveWriter::countEntries(const Text& folder) const {
  const Listing listing = listFolder(folder);
  int count = static_cast<int>(std::count_if(listing.files.begin(), listing.files.end(), fileExists));
  for (const Text& sub : listing.folders) count += 1 + countEntries(sub);
  return count;
}

bool ArchiveWriter::walk(const Text& folder) {
  const Listing listing = listFolder(folder);
  for (const Text& file : listing.files)
    if (fileExists(file) && !addFile(file)) return false;
  for (const Text& sub : listing.folders)
    if (!addFolder(sub) || !walk(sub)) return false;
  return true;
}

Text ArchiveWriter::relativeName(const Text& path, bool folder) const {
  Text name = path.substr(source_.size());
  if (!name.empty() && name[0] == '\\') name.erase(0, 1);
  std::replace(name.begin(), name.end(), '\\', '/');
  if (folder && (name.empty() || name.back() != '/')) name += '/';
  return name;
}

bool ArchiveWriter::write(const void* bytes, std::size_t count) {
  DWORD written = 0;
  if (count && (!WriteFile(target_, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count))
    return false;
  offset_ += static_cast<std::uint32_t>(count);
  return true;
}

bool ArchiveWriter::addFolder(const Text& path) {
  CentralRecord record{relativeName(path, true), 0, 0, timesNow(), 0, 0, 0, (0x41C0u << 16) | 0x10, offset_};
  const std::vector<std::uint8_t> header = localHeader(record);
  if (!write(header.data(), header.size())) return false;
  records_.push_back(record);
  entryWritten();
  return true;
}

bool ArchiveWriter::addFile(const Text& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file || !GetFileInformationByHandle(file.get(), &info)) return false;
  const bool readOnly = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  CentralRecord record{relativeName(path, false), 0x0008, 8,
                       timesOf(info.ftLastWriteTime, info.ftLastAccessTime, info.ftCreationTime),
                       0, 0, info.nFileSizeLow,
                       ((readOnly ? 0x8100u : 0x8180u) << 16) | (info.dwFileAttributes & 0x37), offset_};
  if (isStoredSuffix(record.name)) {
    record.method = 0;
    record.compressedSize = record.size;
  }
  const std::vector<std::uint8_t> first = localHeader(record);  // sizes not known yet
  if (!write(first.data(), first.size()) || !copyData(file.get(), record)) return false;
  record.flags = record.method == 8 ? 0x0002 : 0x0000;
  if (!rewriteLocalHeader(record)) return false;
  records_.push_back(record);
  entryWritten();
  return true;
}

// The file's bytes through CRC-32 and, for method 8, one raw deflate
// stream at level 8, in fixed-size chunks.
bool ArchiveWriter::copyData(HANDLE file, CentralRecord& record) {
  std::vector<std::uint8_t> input(kChunk), output(kChunk);
  z_stream deflater{};
  const bool deflating = record.method == 8;
  if (deflating && deflateInit2(&deflater, 8, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0)), read = 0, compressed = 0;
  bool ok = true, end = false;
  while (ok && !end) {
    DWORD got = 0;
    if (!ReadFile(file, input.data(), static_cast<DWORD>(input.size()), &got, nullptr)) {
      ok = false;
      break;
    }
    end = got == 0;
    crc = static_cast<std::uint32_t>(crc32(crc, input.data(), got));
    read += got;
    if (!deflating) {
      ok = write(input.data(), got);
      compressed += got;
      continue;
    }
    deflater.next_in = input.data();
    deflater.avail_in = got;
    do {
      deflater.next_out = output.data();
      deflater.avail_out = static_cast<uInt>(output.size());
      deflate(&deflater, end ? Z_FINISH : Z_NO_FLUSH);
      const std::size_t produced = output.size() - deflater.avail_out;
      ok = write(output.data(), produced);
      compressed += static_cast<std::uint32_t>(produced);
    } while (ok && deflater.avail_out == 0);
  }
  if (deflating) deflateEnd(&deflater);
  record.crc = crc;
  record.size = read;
  record.compressedSize = compressed;
  return ok;
}

bool ArchiveWriter::rewriteLocalHeader(const CentralRecord& record) {
  const std::vector<std::uint8_t> header = localHeader(record);
  const std::uint32_t end = offset_;
  if (SetFilePointer(target_, static_cast<LONG>(record.offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return false;
  DWORD written = 0;
  const bool ok = WriteFile(target_, header.data(), static_cast<DWORD>(header.size()), &written, nullptr) &&
                  written == header.size();
  SetFilePointer(target_, static_cast<LONG>(end), nullptr, FILE_BEGIN);
  return ok;
}

void ArchiveWriter::entryWritten() {
  ++done_;
  if (progress_) progress_(progressPercent(done_, total_));
}

bool ArchiveWriter::finish() {
  const std::uint32_t start = offset_;
  for (const CentralRecord& record : records_) {
    const std::vector<std::uint8_t> header = centralHeader(record);
    if (!write(header.data(), header.size())) return false;
  }
  std::vector<std::uint8_t> end;
  put32(end, 0x06054B50);
  put16(end, 0);
  put16(end, 0);
  put16(end, static_cast<std::uint16_t>(records_.size()));
  put16(end, static_cast<std::uint16_t>(records_.size()));
  put32(end, offset_ - start);
  put32(end, start);
  put16(end, 0);
  return write(end.data(), end.size());
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

std::uint32_t extendedTimestamp(std::int64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)}, local;
  SYSTEMTIME calendar;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &calendar)) return 0;
  std::tm tm{};
  tm.tm_year = calendar.wYear - 1900;
  tm.tm_mon = calendar.wMonth - 1;
  tm.tm_mday = calendar.wDay;
  if (calendar.wYear < 1970) {
    tm.tm_year = 70; tm.tm_mon = 0; tm.tm_mday = 1;
  } else if (calendar.wYear > 2037) {
    tm.tm_year = 137; tm.tm_mon = 11; tm.tm_mday = 31;
  }
  tm.tm_hour = calendar.wHour;
  tm.tm_min = calendar.wMinute;
  tm.tm_sec = calendar.wSecond;
  tm.tm_isdst = 0;
  const std::time_t seconds = std::mktime(&tm);
  return seconds < 0 ? 0 : static_cast<std::uint32_t>(seconds);
}

int FolderArchiver::compressFolder(const Text& source, const Text& target) {
  targetCreated_ = false;
  if (source.empty() || target.empty() || !fileExists(source)) return -1;
  FileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  targetCreated_ = true;
  ArchiveWriter writer(file.get(), source, archiveProgress);
  writer.setTotal(writer.countEntries(source));
  const bool complete = writer.walk(source);
  const bool finished = writer.finish();  // also after a failed entry
  return complete && finished ? 1 : 0;
}
