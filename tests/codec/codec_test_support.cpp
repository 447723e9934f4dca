#include "codec_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }
std::string outputPath(const std::string& name) { return std::string(TF_CODEC_OUT) + "\\" + name; }

std::vector<std::uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> referenceRgba(const std::string& name) { return fileBytes(fixture(name + ".rgba")); }

std::vector<std::uint8_t> rgbaOf(const Picture& picture) {
  std::vector<std::uint8_t> rgba(picture.pixelCount() * 4);
  for (std::size_t i = 0; i < picture.pixelCount(); ++i) {
    if (picture.isPalette()) {
      const PaletteEntry& c = picture.palette.at(picture.pixels[i]);
      rgba[4 * i] = c.red;
      rgba[4 * i + 1] = c.green;
      rgba[4 * i + 2] = c.blue;
    } else {
      std::copy_n(&picture.pixels[3 * i], 3, &rgba[4 * i]);
    }
    rgba[4 * i + 3] = picture.alpha.empty() ? 255 : picture.alpha[i];
  }
  return rgba;
}

namespace {
int largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, bool alpha) {
  if (a.size() != b.size()) return 1000;
  int largest = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    if ((i % 4 == 3) == alpha) largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}
}  // namespace

int largestColourDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  return largestDifference(a, b, false);
}

int largestAlphaDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  return largestDifference(a, b, true);
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::vector<PngChunk> pngChunks(const std::string& path) {
  const std::vector<std::uint8_t> file = fileBytes(path);
  std::vector<PngChunk> chunks;
  std::size_t at = 8;
  while (file.size() >= 8 && at + 12 <= file.size()) {
    const std::uint32_t length = bigEndian32(&file[at]);
    if (at + 12 + length > file.size()) break;
    chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                      std::vector<std::uint8_t>(file.begin() + at + 8, file.begin() + at + 8 + length)});
    at += 12 + length;
  }
  return chunks;
}

const PngChunk* findChunk(const std::vector<PngChunk>& chunks, const std::string& type) {
  for (const PngChunk& chunk : chunks)
    if (chunk.type == type) return &chunk;
  return nullptr;
}
