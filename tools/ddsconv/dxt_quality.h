#pragma once
// The one quality metric for DXT blocks, used by the benchmark and the
// tests alike: RGB PSNR over all pixels of the blocks decoded with
// libsquish, against the source picture.
#include <cstdint>

#include "dxt_compressor.h"

// squishFlags names the block format (squish::kDxt1/3/5). 99 for no error.
double dxtRgbPsnr(const RgbaPicture& source, const std::uint8_t* blocks, int squishFlags);
