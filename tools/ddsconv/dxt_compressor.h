#pragma once
// DXT compression of an RGBA picture with our colour encoder (and, for
// DXT5, libsquish's alpha), the rows of blocks spread over all cores, and
// the DDS file layout.
#include <cstdint>
#include <vector>

#include "simd_path.h"

enum class DxtFormat { Dxt1, Dxt3, Dxt5 };

struct RgbaPicture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // 4 bytes a pixel, rows top first
};

// The blocks of the picture in DDS order (edge blocks padded); every SIMD
// path gives the same bytes.
std::vector<std::uint8_t> compressDxt(const RgbaPicture& picture, DxtFormat format, unsigned threads,
                                      SimdPath path = widestSimdPath());

// The 128 bytes before the blocks: "DDS ", the header and pixel format.
std::vector<std::uint8_t> ddsHeader(int width, int height, DxtFormat format);
