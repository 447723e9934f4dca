// The colour encoder against libsquish's decoder: the error it reports is
// the error a decoder shows, single colours come out exact where the tables
// say they can, and every SIMD path gives the same bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <squish.h>

#include "colour_block.h"
#include "dxt_compressor.h"
#include "png_input.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }

RgbaPicture picture(const std::string& name) {
  RgbaPicture p;
  std::string reason;
  EXPECT_TRUE(readPngRgba(fixture(name), p, reason)) << reason;
  return p;
}

// Noise of every strength, so that every path of the search is taken.
RgbaPicture noise(int side) {
  RgbaPicture p{side, side, std::vector<std::uint8_t>(std::size_t(side) * side * 4)};
  std::uint32_t seed = 7;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const int strength = (x / 4 + y / 4) % 9 * 16;
      for (int c = 0; c < 4; ++c) {
        seed = seed * 1664525 + 1013904223;
        const int v = 40 * c + x + (strength ? int(seed >> 24) % (strength + 1) : 0);
        p.rgba[4 * (std::size_t(y) * side + x) + c] = static_cast<std::uint8_t>(std::min(255, v));
      }
    }
  return p;
}

struct Block {
  std::uint8_t rgba[64] = {};
  int mask = 0;
};

Block blockAt(const RgbaPicture& p, int bx, int by) {
  Block b;
  for (int i = 0; i < 16; ++i) {
    const int x = 4 * bx + i % 4, y = 4 * by + i / 4;
    if (x >= p.width || y >= p.height) continue;
    std::memcpy(b.rgba + 4 * i, &p.rgba[4 * (std::size_t(y) * p.width + x)], 4);
    b.mask |= 1 << i;
  }
  return b;
}

// The squared RGB error of the texels inside, as libsquish decodes the
// colour block (DXT3: always four colours).
std::uint32_t decodedError(const Block& b, const std::uint8_t colour[8]) {
  std::uint8_t block[16] = {}, decoded[64];
  std::memcpy(block + 8, colour, 8);
  squish::Decompress(decoded, block, squish::kDxt3);
  std::uint32_t error = 0;
  for (int i = 0; i < 16; ++i)
    if (b.mask & (1 << i))
      for (int c = 0; c < 3; ++c) error += (decoded[4 * i + c] - b.rgba[4 * i + c]) * (decoded[4 * i + c] - b.rgba[4 * i + c]);
  return error;
}

const char* const kPictures[] = {"intake1024x768.png", "pngrgba.png", "odd37x23.png", "pngpalette.png"};

}  // namespace

TEST(ColourBlock, TheErrorItReportsIsTheErrorADecoderShows) {
  std::vector<RgbaPicture> pictures = {noise(64)};
  for (const char* name : kPictures) pictures.push_back(picture(name));
  for (const RgbaPicture& p : pictures)
    for (int by = 0; by < (p.height + 3) / 4; ++by)
      for (int bx = 0; bx < (p.width + 3) / 4; ++bx) {
        const Block b = blockAt(p, bx, by);
        std::uint8_t colour[8];
        const std::uint32_t reported = encodeColourBlock(b.rgba, b.mask, colour);
        ASSERT_EQ(reported, decodedError(b, colour)) << p.width << "x" << p.height << " block " << bx << "," << by;
        const int c0 = colour[0] | (colour[1] << 8), c1 = colour[2] | (colour[3] << 8);
        ASSERT_TRUE(c0 > c1 || (c0 == c1 && !colour[4] && !colour[5] && !colour[6] && !colour[7]));
      }
}

TEST(ColourBlock, OneColourComesOutExactlyWhereTheTablesSayItCan) {
  for (int v = 0; v < 256; ++v) {
    const int colour[3] = {v, 255 - v, (v * 7) % 256};
    Block b;
    b.mask = 0xFFFF;
    for (int i = 0; i < 16; ++i)
      for (int c = 0; c < 3; ++c) b.rgba[4 * i + c] = static_cast<std::uint8_t>(colour[c]);
    std::uint8_t out[8];
    const std::uint32_t error = encodeColourBlock(b.rgba, b.mask, out);
    std::uint32_t tableError = 0;
    for (int c = 0; c < 3; ++c) {
      const int distance = singleColourFit(colour[c], c == 1 ? 6 : 5).distance;
      tableError += 16 * distance * distance;
    }
    EXPECT_EQ(error, tableError) << "value " << v;
    EXPECT_EQ(decodedError(b, out), tableError) << "value " << v;
  }
}

TEST(ColourBlock, EverySimdPathAndThreadCountGivesTheSameBytes) {
  const RgbaPicture p = noise(96);
  const std::vector<std::uint8_t> reference = compressDxt(p, DxtFormat::Dxt3, 1);
  for (unsigned threads : {2u, 5u}) EXPECT_EQ(compressDxt(p, DxtFormat::Dxt3, threads), reference) << threads;
  if (widestSimdPath() != SimdPath::Avx2) GTEST_SKIP() << "no AVX2 here: one path only";
  for (int by = 0; by < 24; ++by)
    for (int bx = 0; bx < 24; ++bx) {
      const Block b = blockAt(p, bx, by);
      std::uint8_t narrow[8], wide[8];
      encodeColourBlock(b.rgba, b.mask, narrow, SimdPath::Sse2);
      encodeColourBlock(b.rgba, b.mask, wide, SimdPath::Avx2);
      ASSERT_EQ(std::memcmp(narrow, wide, 8), 0) << "block " << bx << "," << by;
    }
}
