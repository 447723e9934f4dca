#pragma once
// Limits on decoded pictures. A side may be at most 65 500 pixels; the
// total is capped at 64 Mi pixels so that GDI+ can still decode the JPEG
// working copy (4 bytes a pixel) in a 32-bit, large-address-aware process
// next to our own copies of the picture.
#include <cstdint>

inline constexpr std::uint32_t kMaxSide = 65500;
#ifndef TF_MAX_PIXELS
#define TF_MAX_PIXELS (64ull * 1024 * 1024)
#endif
// (The fuzzers build with a smaller cap so that they explore parsing rather
// than spend their time on legitimately large pictures.)
inline constexpr std::uint64_t kMaxPixels = TF_MAX_PIXELS;

// Larger files are refused: no picture within the size limits needs more.
inline constexpr std::uint64_t kMaxFileBytes = 512ull * 1024 * 1024;

inline bool acceptableSize(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}
