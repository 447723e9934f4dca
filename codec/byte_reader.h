#pragma once
// Bounds-checked little-endian reads from a file held in memory.
#include <cstddef>
#include <cstdint>

#include "decoders.h"

class ByteReader {
 public:
  explicit ByteReader(Bytes bytes) : bytes_(bytes) {}
  std::size_t size() const { return bytes_.size; }
  bool has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size && count <= bytes_.size - offset;
  }
  std::uint8_t u8(std::size_t at) const { return has(at, 1) ? bytes_.data[at] : 0; }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(u8(at) | (u8(at + 1) << 8));
  }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
  }
  std::int32_t s32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
  const std::uint8_t* at(std::size_t offset) const { return bytes_.data + offset; }

 private:
  Bytes bytes_;
};
