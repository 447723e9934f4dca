#include "simd_path.h"

SimdPath widestSimdPath() {
  static const SimdPath widest = __builtin_cpu_supports("avx2") ? SimdPath::Avx2 : SimdPath::Sse2;
  return widest;
}
