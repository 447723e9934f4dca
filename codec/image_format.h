#pragma once
// Ids of picture file formats.
#include <cstdint>

using ImageFormat = std::int32_t;

inline constexpr ImageFormat IMAGE_FORMAT_UNKNOWN = 0;
inline constexpr ImageFormat IMAGE_FORMAT_BMP = 1;
inline constexpr ImageFormat IMAGE_FORMAT_GIF = 2;
inline constexpr ImageFormat IMAGE_FORMAT_JPG = 3;
inline constexpr ImageFormat IMAGE_FORMAT_PNG = 4;
inline constexpr ImageFormat IMAGE_FORMAT_ICO = 5;
inline constexpr ImageFormat IMAGE_FORMAT_TIF = 6;
inline constexpr ImageFormat IMAGE_FORMAT_TGA = 7;
inline constexpr ImageFormat IMAGE_FORMAT_PCX = 8;
inline constexpr ImageFormat IMAGE_FORMAT_WBMP = 9;
inline constexpr ImageFormat IMAGE_FORMAT_WMF = 10;
inline constexpr ImageFormat IMAGE_FORMAT_JP2 = 11;
inline constexpr ImageFormat IMAGE_FORMAT_JPC = 12;
inline constexpr ImageFormat IMAGE_FORMAT_PGX = 13;
inline constexpr ImageFormat IMAGE_FORMAT_PNM = 14;
inline constexpr ImageFormat IMAGE_FORMAT_RAS = 15;
inline constexpr ImageFormat IMAGE_FORMAT_WEBP = 16;
