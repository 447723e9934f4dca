#pragma once
// What the header readers share: a way to read the file at any offset, its
// first bytes, and the size a header declares.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

// Reads `count` bytes at `offset` of the file into `out`; false where the
// file has fewer.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t count, std::uint8_t* out)>;

// A file's first 32 bytes (zero past its end), which each format's header
// reader (beside its decoder, decoders.h) looks at first.
using FileHead = std::array<std::uint8_t, 32>;

struct DeclaredSize {
  std::uint64_t width, height;
};
