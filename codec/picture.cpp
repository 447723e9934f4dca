#include "picture.h"

#include <algorithm>
#include <cmath>

int depthFor(int bits) {
  if (bits <= 1) return 1;
  if (bits <= 4) return 4;
  if (bits <= 8) return 8;
  return 24;
}

bool isGrayScale(const Picture& picture) {
  if (!picture.isPalette() || picture.palette.empty()) return false;
  for (std::size_t i = 0; i < picture.palette.size(); ++i) {
    const PaletteEntry& entry = picture.palette[i];
    if (entry.blue != i || entry.green != i || entry.red != i) return false;
  }
  return true;
}

double sanitizeDpi(double dpi) {
  return (std::isfinite(dpi) && dpi > 0 && dpi < 1e6) ? dpi : 96.0;
}

std::int32_t pixelsPerMetre(double dpi) {
  return static_cast<std::int32_t>(std::floor(sanitizeDpi(dpi) * kInchesPerMetre + 0.5));
}

void setPalette(Picture& picture, int bits, const std::vector<PaletteEntry>& entries) {
  picture.bitsPerPixel = depthFor(bits);
  const std::size_t size = std::size_t{1} << picture.bitsPerPixel;
  picture.palette.assign(size, PaletteEntry{});
  std::copy_n(entries.begin(), std::min(size, entries.size()), picture.palette.begin());
}

void dropEmptyAlpha(Picture& picture) {
  if (std::all_of(picture.alpha.begin(), picture.alpha.end(), [](std::uint8_t a) { return a == 0; }))
    picture.alpha.clear();
}
