#include "package_reader.h"

#include <zlib.h>

namespace {

std::uint32_t le(const ByteBuffer& b, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[at + i];
  return value;
}

std::optional<ByteBuffer> inflateRaw(const std::uint8_t* data, std::size_t size, std::size_t expected) {
  ByteBuffer out(expected);
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) return std::nullopt;
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(size);
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(expected);
  const int result = inflate(&stream, Z_FINISH);
  const bool whole = result == Z_STREAM_END && stream.total_out == expected;
  inflateEnd(&stream);
  if (!whole) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::vector<PackageEntry>> readPackageEntries(const ByteBuffer& archive) {
  if (archive.size() < 22) return std::nullopt;
  std::size_t end = archive.size() - 22;
  while (le(archive, end, 4) != 0x06054B50)
    if (end-- == 0) return std::nullopt;
  const std::uint32_t count = le(archive, end + 10, 2);
  std::size_t at = le(archive, end + 16, 4);
  std::vector<PackageEntry> entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (at + 46 > archive.size() || le(archive, at, 4) != 0x02014B50) return std::nullopt;
    PackageEntry entry;
    entry.method = static_cast<std::uint16_t>(le(archive, at + 10, 2));
    entry.compressedSize = le(archive, at + 20, 4);
    entry.size = le(archive, at + 24, 4);
    const std::size_t nameLength = le(archive, at + 28, 2), extraLength = le(archive, at + 30, 2),
                      commentLength = le(archive, at + 32, 2);
    entry.localHeader = le(archive, at + 42, 4);
    if (at + 46 + nameLength > archive.size()) return std::nullopt;
    entry.name.assign(reinterpret_cast<const char*>(archive.data() + at + 46), nameLength);
    entries.push_back(entry);
    at += 46 + nameLength + extraLength + commentLength;
  }
  return entries;
}

std::optional<ByteBuffer> readPackageEntry(const ByteBuffer& archive, const PackageEntry& entry) {
  const std::size_t at = entry.localHeader;
  if (at + 30 > archive.size() || le(archive, at, 4) != 0x04034B50) return std::nullopt;
  const std::size_t data = at + 30 + le(archive, at + 26, 2) + le(archive, at + 28, 2);
  if (data + entry.compressedSize > archive.size()) return std::nullopt;
  if (entry.method == 0) return bufferFromMemory(archive.data() + data, entry.compressedSize);
  if (entry.method != 8) return std::nullopt;
  return inflateRaw(archive.data() + data, entry.compressedSize, entry.size);
}
