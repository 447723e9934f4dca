#pragma once
// Our encoder of the colour half of a DXT block (8 bytes: two 5:6:5
// endpoints, colour 0 above colour 1 where they differ, and sixteen 2-bit
// selectors), always for the 4-colour mode, in which DXT3 and DXT5 decode
// every block. It minimises the plain RGB squared error of the block as the
// reference decoder decodes it: 5:6:5 codes expanded by bit replication,
// the middle colours (2a + b) / 3 and (a + 2b) / 3 in integers.
#include <cstdint>

#include "simd_path.h"

// `rgba`: the 16 texels of the block, rows first, 4 bytes each; bit i of
// `mask` marks texel i as inside the picture (texels outside count for
// nothing). Writes the 8 bytes and returns the squared RGB error over the
// texels inside, as decoded.
std::uint32_t encodeColourBlock(const std::uint8_t* rgba, int mask, std::uint8_t* out,
                                SimdPath path = widestSimdPath());

// The best endpoint pair for one channel of a block of a single colour: the
// 5- or 6-bit codes a, b whose middle colour (2a + b) / 3 comes nearest to
// the 8-bit value, and its distance; of those, one whose middle colour a
// decoder that rounds it, (2a + b + 1) / 3, shows nearest too.
struct SingleColourFit {
  std::uint8_t a, b, distance;
};
SingleColourFit singleColourFit(int value, int bits);
