#pragma once
// The SIMD paths of the encoder's error evaluation; each gives the same
// bytes.
enum class SimdPath { Sse2, Avx2 };

// The widest path this processor and system run.
SimdPath widestSimdPath();
