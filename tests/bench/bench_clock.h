#pragma once
// Milliseconds from the performance counter, for the Wine benchmarks.
#include <windows.h>

inline double now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}
