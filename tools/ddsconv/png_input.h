#pragma once
// Reads a PNG file of any colour type, bit depth and interlacing into
// RGBA (alpha from the file or tRNS, opaque otherwise).
#include <cstdio>
#include <string>

#include "dxt_compressor.h"

// False with a one-line reason when the file cannot be read as a PNG.
bool readPngRgba(const std::string& path, RgbaPicture& picture, std::string& reason);
// The same from a file opened for reading (by its UTF-16 name on Windows);
// `name` stands for it in the reason.
bool readPngRgba(std::FILE* file, const std::string& name, RgbaPicture& picture, std::string& reason);
