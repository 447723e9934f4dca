#pragma once
// Reads the archives the program writes: the entry names in central
// directory order and an entry's bytes, inflated. Enough to check a
// package; the independent readers run in the shell checks.
#include <optional>
#include <string>
#include <vector>

#include "byte_buffer.h"

struct PackageEntry {
  std::string name;
  std::uint16_t method = 0;
  std::uint32_t compressedSize = 0, size = 0, localHeader = 0;
};

// The entries, or nothing when the end record or directory is unreadable.
std::optional<std::vector<PackageEntry>> readPackageEntries(const ByteBuffer& archive);
// The entry's bytes (stored or deflated); nothing when they cannot be read.
std::optional<ByteBuffer> readPackageEntry(const ByteBuffer& archive, const PackageEntry& entry);
