#pragma once
// What the parts of the colour encoder share: a block's texels as they are
// searched, endpoint codes, and the colours a decoder makes of them.
#include <cstdint>

#include "simd_path.h"

namespace colour {

inline constexpr int kBits[3] = {5, 6, 5};  // red, green, blue
inline constexpr int kMaxCode[3] = {31, 63, 31};

constexpr int expandCode(int code, int bits) {
  return bits == 5 ? (code << 3) | (code >> 2) : (code << 2) | (code >> 4);
}

// Endpoint codes per channel (red 5 bits, green 6, blue 5).
struct Endpoints {
  int a[3], b[3];
  bool operator==(const Endpoints&) const = default;
};

inline std::uint16_t pack565(const int c[3]) { return static_cast<std::uint16_t>((c[0] << 11) | (c[1] << 5) | c[2]); }

// The texels inside the block, laid out for the SIMD evaluation: red and
// green of texel i in the 16-bit lanes 2i and 2i + 1 of `rg`, blue in lane
// 2i of `b0`. Lanes past `count` repeat texel 0 and are masked out.
struct Texels {
  bool wide = false;  // the AVX2 evaluation
  int count = 0;
  int position[16] = {};
  float x[16][3] = {};
  alignas(32) std::int16_t rg[32] = {};
  alignas(32) std::int16_t b0[32] = {};
  alignas(32) std::int32_t inside[16] = {};
  std::uint32_t colour[16] = {};  // red, green and blue in one value
};

inline Texels gatherTexels(const std::uint8_t* rgba, int mask, SimdPath path) {
  Texels t;
  t.wide = path == SimdPath::Avx2;
  for (int p = 0; p < 16; ++p) {
    if (!(mask & (1 << p))) continue;
    const int i = t.count++;
    t.position[i] = p;
    for (int c = 0; c < 3; ++c) t.x[i][c] = rgba[4 * p + c];
    t.rg[2 * i] = rgba[4 * p];
    t.rg[2 * i + 1] = rgba[4 * p + 1];
    t.b0[2 * i] = rgba[4 * p + 2];
    t.inside[i] = -1;
    t.colour[i] = rgba[4 * p] | (rgba[4 * p + 1] << 8) | (rgba[4 * p + 2] << 16);
  }
  for (int i = t.count; i < 16 && t.count > 0; ++i) {
    t.rg[2 * i] = t.rg[0];
    t.rg[2 * i + 1] = t.rg[1];
    t.b0[2 * i] = t.b0[0];
  }
  return t;
}

// Channel c (red, green, blue) of texel i.
inline int texelChannel(const Texels& t, int i, int c) { return c == 2 ? t.b0[2 * i] : t.rg[2 * i + c]; }

// The four colours the decoder makes of the endpoints.
inline void palette(const Endpoints& e, int colours[4][3]) {
  for (int c = 0; c < 3; ++c) {
    const int a = expandCode(e.a[c], kBits[c]), b = expandCode(e.b[c], kBits[c]);
    colours[0][c] = a;
    colours[1][c] = b;
    colours[2][c] = (2 * a + b) / 3;
    colours[3][c] = (a + 2 * b) / 3;
  }
}

// One selector (0 ... 3) per texel, in texel order.
using Selectors = std::uint8_t[16];

}  // namespace colour
