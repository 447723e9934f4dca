#include "dxt_quality.h"

#include <cmath>
#include <vector>

#include <squish.h>

double dxtRgbPsnr(const RgbaPicture& source, const std::uint8_t* blocks, int squishFlags) {
  std::vector<std::uint8_t> decoded(source.rgba.size());
  squish::DecompressImage(decoded.data(), source.width, source.height, blocks, squishFlags);
  double squared = 0;
  for (std::size_t i = 0; i < decoded.size(); ++i)
    if (i % 4 != 3) squared += std::pow(double(decoded[i]) - source.rgba[i], 2);
  const double mse = squared / (double(decoded.size()) / 4 * 3);
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}
