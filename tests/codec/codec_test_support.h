#pragma once
// Fixture paths and picture comparisons for the codec tests.
#include <string>
#include <vector>

#include "image_codec.h"

std::string fixture(const std::string& name);
std::string outputPath(const std::string& name);
// ImageMagick's decoding of the fixture as RGBA bytes.
std::vector<std::uint8_t> referenceRgba(const std::string& name);
// The held picture as RGBA (palette looked up; alpha 255 where none).
std::vector<std::uint8_t> rgbaOf(const Picture& picture);
// The largest difference of any colour channel, and of alpha.
int largestColourDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);
int largestAlphaDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);
std::vector<std::uint8_t> fileBytes(const std::string& path);

struct PngChunk {
  std::string type;
  std::vector<std::uint8_t> data;
};
// The chunks of a PNG file in order (empty when it is no PNG).
std::vector<PngChunk> pngChunks(const std::string& path);
const PngChunk* findChunk(const std::vector<PngChunk>& chunks, const std::string& type);
std::uint32_t bigEndian32(const std::uint8_t* p);
