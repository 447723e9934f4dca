#pragma once
// Bounds-checked little-endian reads from a file held in memory, and the
// plain reads of values at a pointer whose bounds the caller has checked.
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

inline std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t le24(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16); }
inline std::uint32_t le32(const std::uint8_t* p) { return le16(p) | (std::uint32_t{le16(p + 2)} << 16); }
inline std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
inline std::uint32_t be32(const std::uint8_t* p) { return (std::uint32_t{be16(p)} << 16) | be16(p + 2); }
