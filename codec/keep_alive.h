#pragma once
// A large picture keeps a decoder or encoder busy for seconds. Their row
// loops call a KeepAlive every few rows, so that a caller on a UI thread
// can answer the system's hang check; the codec itself knows no platform.
#include <cstddef>

using KeepAlive = void (*)();

inline void keepAliveAtRow(KeepAlive keepAlive, std::size_t row) {
  constexpr std::size_t kRowsBetweenCalls = 16;
  if (keepAlive && row % kRowsBetweenCalls == kRowsBetweenCalls - 1) keepAlive();
}
