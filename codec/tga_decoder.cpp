// Truevision TGA: colour-mapped (1, 9), true-colour (2, 10) and black and
// white (3, 11) images, uncompressed or run-length, 8/15/16/24/32 bits,
// either origin. The format has no magic number, so every header field
// must be plausible and the data long enough before a file counts as TGA.
#include <algorithm>
#include <new>

#include "byte_reader.h"
#include "decoders.h"
#include "size_limits.h"

namespace {

struct TgaHeader {
  std::uint8_t idLength, mapType, imageType;
  std::uint16_t mapFirst, mapLength;
  std::uint8_t mapDepth;
  std::uint16_t width, height;
  std::uint8_t depth, descriptor;
  int alphaBits() const { return descriptor & 0x0F; }
  bool rightToLeft() const { return descriptor & 0x10; }
  bool topFirst() const { return descriptor & 0x20; }
  bool colourMapped() const { return imageType == 1 || imageType == 9; }
  bool runLength() const { return imageType >= 9; }
};

bool plausible(const TgaHeader& h) {
  if (h.descriptor & 0xC0) return false;  // interleaving: never used, a sign of noise
  if (!acceptableSize(h.width, h.height)) return false;
  if (h.mapType > 1) return false;
  if (h.mapType == 1 && (h.mapLength == 0 || (h.mapDepth != 15 && h.mapDepth != 16 &&
                                              h.mapDepth != 24 && h.mapDepth != 32)))
    return false;
  if (h.mapType == 0 && (h.mapFirst || h.mapLength || h.mapDepth)) return false;
  switch (h.imageType) {
    case 1: case 9:
      return h.mapType == 1 && h.depth == 8 && h.alphaBits() == 0 &&
             std::size_t{h.mapFirst} + h.mapLength <= 256;
    case 2: case 10:
      if (h.depth == 15 || h.depth == 16) return h.alphaBits() <= 1;
      if (h.depth == 24) return h.alphaBits() == 0;
      if (h.depth == 32) return h.alphaBits() == 0 || h.alphaBits() == 8;
      return false;
    case 3: case 11:
      return h.depth == 8 && h.alphaBits() == 0;
    default: return false;
  }
}

PaletteEntry colourOf(const std::uint8_t* p, int depth, std::uint8_t* alpha) {
  if (depth == 15 || depth == 16) {
    const unsigned v = p[0] | (p[1] << 8);
    auto five = [](unsigned c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
    if (alpha) *alpha = (v & 0x8000) ? 255 : 0;
    return {five(v & 31), five((v >> 5) & 31), five((v >> 10) & 31), 0};
  }
  if (depth == 8) return {p[0], p[0], p[0], 0};
  if (alpha) *alpha = depth == 32 ? p[3] : 255;
  return {p[0], p[1], p[2], 0};
}

// The stored pixels in file order, each `bytesPer` bytes, RLE expanded.
bool readPixelData(const ByteReader& file, std::size_t at, const TgaHeader& h, std::size_t count,
                   std::size_t bytesPer, std::vector<std::uint8_t>& data) {
  if (!h.runLength()) {
    if (!file.has(at, count * bytesPer)) return false;
    data.assign(file.at(at), file.at(at) + count * bytesPer);
    return true;
  }
  data.clear();
  data.reserve(count * bytesPer);
  while (data.size() < count * bytesPer) {
    if (!file.has(at, 1)) return false;
    const std::uint8_t packet = file.u8(at++);
    const std::size_t run = (packet & 0x7F) + 1;
    if (run * bytesPer > count * bytesPer - data.size()) return false;  // runs past the picture
    if (packet & 0x80) {
      if (!file.has(at, bytesPer)) return false;
      for (std::size_t i = 0; i < run; ++i) data.insert(data.end(), file.at(at), file.at(at) + bytesPer);
      at += bytesPer;
    } else {
      if (!file.has(at, run * bytesPer)) return false;
      data.insert(data.end(), file.at(at), file.at(at) + run * bytesPer);
      at += run * bytesPer;
    }
  }
  return true;
}

}  // namespace

bool decodeTga(Bytes bytes, Picture& out, KeepAlive keepAlive) {
  const ByteReader file(bytes);
  if (!file.has(0, 18)) return false;
  const TgaHeader h{file.u8(0), file.u8(1), file.u8(2), file.u16(3), file.u16(5), file.u8(7),
                    file.u16(12), file.u16(14), file.u8(16), file.u8(17)};
  if (!plausible(h)) return false;
  std::size_t at = 18 + h.idLength;
  const std::size_t mapBytes = h.mapType ? std::size_t{h.mapLength} * ((h.mapDepth + 7) / 8) : 0;
  if (!file.has(at, mapBytes)) return false;
  Picture picture;
  picture.width = h.width;
  picture.height = h.height;
  if (h.colourMapped()) {
    std::vector<PaletteEntry> entries(256);
    for (std::size_t i = 0; i < h.mapLength; ++i)
      entries[h.mapFirst + i] = colourOf(file.at(at + i * ((h.mapDepth + 7) / 8)), h.mapDepth, nullptr);
    setPalette(picture, 8, entries);
  }
  at += mapBytes;
  const std::size_t bytesPer = (h.depth + 7) / 8;
  std::vector<std::uint8_t> data;
  if (!readPixelData(file, at, h, picture.pixelCount(), bytesPer, data)) return false;

  const bool hasAlpha = !h.colourMapped() && h.alphaBits() > 0;
  picture.pixels.assign(picture.pixelCount() * (h.colourMapped() ? 1 : 3), 0);
  if (hasAlpha) picture.alpha.assign(picture.pixelCount(), 255);
  for (std::size_t stored = 0; stored < picture.pixelCount(); ++stored) {
    std::size_t x = stored % h.width, y = stored / h.width;
    if (x == 0) keepAliveAtRow(keepAlive, y);
    if (h.rightToLeft()) x = h.width - 1 - x;
    if (!h.topFirst()) y = h.height - 1 - y;
    const std::size_t pixel = y * h.width + x;
    const std::uint8_t* p = &data[stored * bytesPer];
    if (h.colourMapped()) {
      picture.pixels[pixel] = p[0];
      continue;
    }
    std::uint8_t alpha = 255;
    const PaletteEntry colour = colourOf(p, h.depth, &alpha);
    picture.pixels[3 * pixel] = colour.red;
    picture.pixels[3 * pixel + 1] = colour.green;
    picture.pixels[3 * pixel + 2] = colour.blue;
    if (hasAlpha) picture.alpha[pixel] = alpha;
  }
  dropEmptyAlpha(picture);
  out = std::move(picture);
  return true;
}

// A TGA header is only noise unless its fields are those of a picture the
// decoder would read.
std::optional<DeclaredSize> tgaDeclaredSize(const FileHead& h, const ReadAt&) {
  const std::uint8_t mapType = h[1], imageType = h[2], depth = h[16], descriptor = h[17];
  const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                         imageType == 10 || imageType == 11;
  const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  if (mapType > 1 || !knownType || !knownDepth || (descriptor & 0xC0)) return std::nullopt;
  return DeclaredSize{le16(&h[12]), le16(&h[14])};
}
