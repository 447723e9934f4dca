#include "zip_headers.h"

#include <ctime>
#include <vector>

namespace zip {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50, kCentralHeaderSignature = 0x02014B50,
                        kEndRecordSignature = 0x06054B50;
constexpr std::uint16_t kVersionMadeBy = 0x0B17;  // made on NTFS (11), ZIP format version 2.3
constexpr std::uint16_t kVersionNeeded = 20;
// The extended-timestamp extra field ("UT"): all three times in the local
// header, the modification time alone in the central one.
constexpr std::uint16_t kTimestampTag = 0x5455;
constexpr std::uint8_t kAllThreeTimes = 0x07;
constexpr std::uint16_t kLocalTimestampSize = 13, kCentralTimestampSize = 5;

class Fields {
 public:
  void put16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void put32(std::uint32_t v) {
    put16(static_cast<std::uint16_t>(v));
    put16(static_cast<std::uint16_t>(v >> 16));
  }
  void put8(std::uint8_t v) { bytes_.push_back(v); }
  void putText(const Text& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  bool writeTo(ByteSink& out) const { return out.write(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// The fields the local and the central header share, in their order:
// version needed, flags, method, DOS time and date, CRC, sizes, name length.
void putEntryFields(Fields& out, const EntryRecord& e) {
  out.put16(kVersionNeeded);
  out.put16(e.flags);
  out.put16(e.method);
  out.put16(e.times.dosTime);
  out.put16(e.times.dosDate);
  out.put32(e.crc);
  out.put32(e.compressedSize);
  out.put32(e.size);
  out.put16(static_cast<std::uint16_t>(e.name.size()));
}

std::int64_t asInteger(const FILETIME& time) {
  return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

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

bool writeLocalHeader(ByteSink& out, const EntryRecord& e) {
  Fields f;
  f.put32(kLocalHeaderSignature);
  putEntryFields(f, e);
  f.put16(4 + kLocalTimestampSize);  // extra field length
  f.putText(e.name);
  f.put16(kTimestampTag);
  f.put16(kLocalTimestampSize);
  f.put8(kAllThreeTimes);
  f.put32(e.times.modified);
  f.put32(e.times.accessed);
  f.put32(e.times.created);
  return f.writeTo(out);
}

bool writeCentralHeader(ByteSink& out, const EntryRecord& e) {
  Fields f;
  f.put32(kCentralHeaderSignature);
  f.put16(kVersionMadeBy);
  putEntryFields(f, e);
  f.put16(4 + kCentralTimestampSize);  // extra field length
  f.put16(0);                          // comment length
  f.put16(0);                          // disk number
  f.put16(0);                          // internal attributes
  f.put32(e.externalAttributes);
  f.put32(e.offset);
  f.putText(e.name);
  f.put16(kTimestampTag);
  f.put16(kCentralTimestampSize);
  f.put8(kAllThreeTimes);
  f.put32(e.times.modified);
  return f.writeTo(out);
}

bool writeEndRecord(ByteSink& out, std::uint16_t entries, std::uint32_t directorySize,
                    std::uint32_t directoryOffset) {
  Fields f;
  f.put32(kEndRecordSignature);
  f.put16(0);  // this disk
  f.put16(0);  // the directory's disk
  f.put16(entries);
  f.put16(entries);
  f.put32(directorySize);
  f.put32(directoryOffset);
  f.put16(0);  // comment length
  return f.writeTo(out);
}

}  // namespace zip

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
