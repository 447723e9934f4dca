#pragma once
// The ZIP records the folder archiver writes, field by field: local and
// central headers with the extended-timestamp field, and the end record.
#include <windows.h>

#include <cstdint>

#include "archive_output.h"
#include "text.h"

namespace zip {

inline constexpr std::uint16_t kStored = 0, kDeflated = 8;  // methods
// General-purpose flags: sizes after the data (the first local header, not
// yet knowing them), and deflated at maximum compression.
inline constexpr std::uint16_t kSizesFollow = 0x0008, kMaximumCompression = 0x0002;
// Unix modes in the high half of the external attributes, the Windows
// attributes in the low half.
inline constexpr std::uint32_t kFolderMode = 0x41C0;          // directory, rwx for the owner
inline constexpr std::uint32_t kFileMode = 0x8180;            // regular file, rw for the owner
inline constexpr std::uint32_t kReadOnlyFileMode = 0x8100;    // regular file, r for the owner
inline constexpr std::uint32_t kKeptWindowsAttributes = 0x37;  // read-only ... archive

struct EntryTimes {
  std::uint16_t dosTime = 0, dosDate = 0;
  std::uint32_t modified = 0, accessed = 0, created = 0;  // seconds since 1970
};

// What both headers of one entry say about it.
struct EntryRecord {
  Text name;
  std::uint16_t flags, method;
  EntryTimes times;
  std::uint32_t crc, compressedSize, size, externalAttributes, offset;
};

EntryTimes timesOf(const FILETIME& written, const FILETIME& accessed, const FILETIME& created);
EntryTimes timesNow();

bool writeLocalHeader(ByteSink& out, const EntryRecord& entry);
bool writeCentralHeader(ByteSink& out, const EntryRecord& entry);
bool writeEndRecord(ByteSink& out, std::uint16_t entries, std::uint32_t directorySize,
                    std::uint32_t directoryOffset);

}  // namespace zip

// Seconds since 1970 for a local calendar time clamped to 1970…2037, as
// mktime gives them with daylight saving time taken as not in effect.
std::uint32_t extendedTimestamp(std::int64_t fileTime);
