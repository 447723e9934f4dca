#pragma once
// The exact error of endpoints for a block: each texel on its nearest of
// the four colours (ties to the lower selector), in integers, so that every
// SIMD path gives the same result. Inline: the search calls it in its
// innermost loops.
#include <immintrin.h>

#include <cstdint>

#include "block_texels.h"

namespace colour {

inline void setUpPalette(const Endpoints& e, std::int32_t rgOf[4], std::int32_t bOf[4]) {
  int colours[4][3];
  palette(e, colours);
  for (int k = 0; k < 4; ++k) {
    rgOf[k] = (colours[k][1] << 16) | colours[k][0];
    bOf[k] = colours[k][2];
  }
}

// The four colours in 16-bit lanes, each as red, green, blue, 0: colours a
// and b in `ends`, the middle colours (2a + b) / 3 and (a + 2b) / 3 in
// `middles`. Read as 32-bit lanes, a colour is its red-green lane and its
// blue lane, as the texels are laid out. For the AVX2 path: built there
// from scalars, GCC stores the palette's words one by one and reads them
// back as vectors, and every such read waits for the stores (a
// store-forwarding stall), which made that path slower than SSE2's.
struct PaletteVectors {
  __m128i ends, middles;
};

inline PaletteVectors paletteVectors(const Endpoints& e) {
  // From scalars: a vector read of codes just written one by one would stall.
  const __m128i a = _mm_unpacklo_epi32(_mm_cvtsi32_si128(e.a[0] | (e.a[1] << 16)), _mm_cvtsi32_si128(e.a[2]));
  const __m128i b = _mm_unpacklo_epi32(_mm_cvtsi32_si128(e.b[0] | (e.b[1] << 16)), _mm_cvtsi32_si128(e.b[2]));
  const __m128i codes = _mm_unpacklo_epi64(a, b);
  // Bit replication: code << 3 | code >> 2 for 5 bits, code << 2 | code >> 4 for 6.
  const __m128i up = _mm_setr_epi16(8, 4, 8, 0, 8, 4, 8, 0);
  const __m128i down = _mm_setr_epi16(1 << 14, 1 << 12, 1 << 14, 0, 1 << 14, 1 << 12, 1 << 14, 0);
  const __m128i ends = _mm_or_si128(_mm_mullo_epi16(codes, up), _mm_mulhi_epu16(codes, down));
  const __m128i swapped = _mm_shuffle_epi32(ends, _MM_SHUFFLE(1, 0, 3, 2));
  // x / 3 for 0 <= x <= 765 as (x * 21846) >> 16.
  const __m128i middles = _mm_mulhi_epu16(_mm_add_epi16(_mm_add_epi16(ends, ends), swapped), _mm_set1_epi16(21846));
  return {ends, middles};
}

inline void storeSelectors(const __m128i indices[4], std::uint8_t* selectors) {
  const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(indices[0], indices[1]), _mm_packs_epi32(indices[2], indices[3]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(selectors), packed);
}

inline std::uint32_t sumLanes(__m128i total) {
  total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(1, 0, 3, 2)));
  total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(total));
}

// SSE2, four texels at a time: the floor of the 32-bit program. Its
// palette from scalars: with only SSE2, the vector palette is slower.
template <bool kWithSelectors>
std::uint32_t evaluateSse2(const Texels& t, const Endpoints& e, std::uint8_t* selectors) {
  std::int32_t rgOf[4], bOf[4];
  setUpPalette(e, rgOf, bOf);
  __m128i total = _mm_setzero_si128(), indices[4] = {};
  const int groups = (t.count + 3) / 4;
  for (int g = 0; g < groups; ++g) {
    const __m128i rg = _mm_load_si128(reinterpret_cast<const __m128i*>(t.rg + 8 * g));
    const __m128i b0 = _mm_load_si128(reinterpret_cast<const __m128i*>(t.b0 + 8 * g));
    __m128i best = _mm_set1_epi32(0x7FFFFFFF), index = _mm_setzero_si128();
    for (int k = 0; k < 4; ++k) {
      const __m128i dRg = _mm_sub_epi16(rg, _mm_set1_epi32(rgOf[k])), dB = _mm_sub_epi16(b0, _mm_set1_epi32(bOf[k]));
      const __m128i d = _mm_add_epi32(_mm_madd_epi16(dRg, dRg), _mm_madd_epi16(dB, dB));
      const __m128i nearer = _mm_cmplt_epi32(d, best);
      best = _mm_or_si128(_mm_and_si128(nearer, d), _mm_andnot_si128(nearer, best));
      if (kWithSelectors)
        index = _mm_or_si128(_mm_and_si128(nearer, _mm_set1_epi32(k)), _mm_andnot_si128(nearer, index));
    }
    total = _mm_add_epi32(total, _mm_and_si128(best, _mm_load_si128(reinterpret_cast<const __m128i*>(t.inside + 4 * g))));
    if (kWithSelectors) indices[g] = index;
  }
  if (kWithSelectors) storeSelectors(indices, selectors);
  return sumLanes(total);
}

// AVX2, eight texels at a time, only where the processor and the system
// have it. The compiler clears the upper halves of the registers on return
// (vzeroupper), or the SSE code after it would run far slower.
template <bool kWithSelectors>
__attribute__((target("avx2"))) std::uint32_t evaluateAvx2(const Texels& t, const Endpoints& e,
                                                          std::uint8_t* selectors) {
  const PaletteVectors p = paletteVectors(e);
  const __m256i ends = _mm256_broadcastsi128_si256(p.ends), middles = _mm256_broadcastsi128_si256(p.middles);
  const __m256i rgOf[4] = {_mm256_shuffle_epi32(ends, 0x00), _mm256_shuffle_epi32(ends, 0xAA),
                           _mm256_shuffle_epi32(middles, 0x00), _mm256_shuffle_epi32(middles, 0xAA)};
  const __m256i bOf[4] = {_mm256_shuffle_epi32(ends, 0x55), _mm256_shuffle_epi32(ends, 0xFF),
                          _mm256_shuffle_epi32(middles, 0x55), _mm256_shuffle_epi32(middles, 0xFF)};
  __m256i total = _mm256_setzero_si256(), indices[2] = {_mm256_setzero_si256(), _mm256_setzero_si256()};
  const int groups = (t.count + 7) / 8;
  for (int g = 0; g < groups; ++g) {
    const __m256i rg = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.rg + 16 * g));
    const __m256i b0 = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.b0 + 16 * g));
    __m256i best = _mm256_set1_epi32(0x7FFFFFFF), index = _mm256_setzero_si256();
    for (int k = 0; k < 4; ++k) {
      const __m256i dRg = _mm256_sub_epi16(rg, rgOf[k]), dB = _mm256_sub_epi16(b0, bOf[k]);
      const __m256i d = _mm256_add_epi32(_mm256_madd_epi16(dRg, dRg), _mm256_madd_epi16(dB, dB));
      if (kWithSelectors) {
        const __m256i nearer = _mm256_cmpgt_epi32(best, d);
        index = _mm256_blendv_epi8(index, _mm256_set1_epi32(k), nearer);
      }
      best = _mm256_min_epi32(best, d);
    }
    total = _mm256_add_epi32(total, _mm256_and_si256(best, _mm256_load_si256(reinterpret_cast<const __m256i*>(t.inside + 8 * g))));
    if (kWithSelectors) indices[g] = index;
  }
  if (kWithSelectors) {
    const __m128i quarters[4] = {_mm256_castsi256_si128(indices[0]), _mm256_extracti128_si256(indices[0], 1),
                                 _mm256_castsi256_si128(indices[1]), _mm256_extracti128_si256(indices[1], 1)};
    storeSelectors(quarters, selectors);
  }
  return sumLanes(_mm_add_epi32(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1)));
}

inline std::uint32_t evaluate(const Texels& t, const Endpoints& e) {
  return t.wide ? evaluateAvx2<false>(t, e, nullptr) : evaluateSse2<false>(t, e, nullptr);
}
// And the selectors that reach it.
inline std::uint32_t evaluate(const Texels& t, const Endpoints& e, Selectors selectors) {
  return t.wide ? evaluateAvx2<true>(t, e, selectors) : evaluateSse2<true>(t, e, selectors);
}

}  // namespace colour
