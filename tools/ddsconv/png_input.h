#pragma once
// Reads a PNG file of any colour type, bit depth and interlacing into
// RGBA (alpha from the file or tRNS, opaque otherwise).
#include <string>

#include "dxt_compressor.h"

// False with a one-line reason when the file cannot be read as a PNG.
bool readPngRgba(const std::string& path, RgbaPicture& picture, std::string& reason);
