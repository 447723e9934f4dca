// Windows bitmaps: core (12-byte) and info headers up to V5; 1, 4, 8, 16,
// 24 and 32 bits; RLE4, RLE8, BITFIELDS and ALPHABITFIELDS; either row order.
#include <algorithm>
#include <bit>
#include <new>

#include "byte_reader.h"
#include "decoders.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

struct BmpHeader {
  std::uint32_t headerSize, dataOffset;
  std::int64_t width, height;
  bool topDown;
  std::uint16_t bits;
  std::uint32_t compression, coloursUsed;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  double dpiX = 96, dpiY = 96;
};

// One channel of a BITFIELDS pixel scaled to 0…255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m);
  }
  std::uint8_t of(std::uint32_t value) const {
    if (!mask) return 0;
    const std::uint32_t raw = (value & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(raw >> (bits - 8));
    return static_cast<std::uint8_t>((raw * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
  }
};

bool contiguousMask(std::uint32_t mask) {
  return mask == 0 || std::popcount((mask >> std::countr_zero(mask)) + 1) == 1;
}

bool readHeader(const ByteReader& file, BmpHeader& header) {
  if (!file.has(0, 18) || !startsAs(IMAGE_FORMAT_BMP, file.at(0), file.size())) return false;
  header.dataOffset = file.u32(10);
  header.headerSize = file.u32(14);
  const std::uint32_t size = header.headerSize;
  if (size == 12) {
    if (!file.has(14, 12)) return false;
    header.width = file.u16(18);
    header.height = file.u16(20);
    if (file.u16(22) != 1) return false;
    header.bits = file.u16(24);
    header.compression = kRgb;
    header.coloursUsed = 0;
  } else if (size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124) {
    if (!file.has(14, size)) return false;
    header.width = file.s32(18);
    header.height = file.s32(22);
    if (file.u16(26) != 1) return false;
    header.bits = file.u16(28);
    header.compression = file.u32(30);
    header.coloursUsed = file.u32(46);
    const std::int32_t ppmX = file.s32(38), ppmY = file.s32(42);
    header.dpiX = ppmX > 0 ? ppmX / kInchesPerMetre : 96;
    header.dpiY = ppmY > 0 ? ppmY / kInchesPerMetre : 96;
    if (size >= 52) {
      for (int i = 0; i < 3; ++i) header.masks[i] = file.u32(54 + 4 * i);
      if (size >= 56) header.masks[3] = file.u32(66);
    } else if (header.compression == kBitfields || header.compression == kAlphaBitfields) {
      const int count = header.compression == kAlphaBitfields ? 4 : 3;
      if (!file.has(54, 4 * count)) return false;
      for (int i = 0; i < count; ++i) header.masks[i] = file.u32(54 + 4 * i);
    }
  } else {
    return false;
  }
  header.topDown = header.height < 0;
  if (header.topDown) header.height = -header.height;
  if (!acceptableSize(header.width, header.height)) return false;
  switch (header.bits) {
    case 1: case 4: case 8: case 24:
      if (header.compression == kRle8) return header.bits == 8 && !header.topDown;
      if (header.compression == kRle4) return header.bits == 4 && !header.topDown;
      return header.compression == kRgb;
    case 16: case 32:
      if (header.compression == kRgb) return true;
      if (header.compression != kBitfields && header.compression != kAlphaBitfields) return false;
      return header.masks[0] | header.masks[1] | header.masks[2] ? std::all_of(
          header.masks, header.masks + 4, contiguousMask) : false;
    default: return false;
  }
}

bool readPalette(const ByteReader& file, const BmpHeader& header, Picture& picture) {
  const std::size_t maxEntries = std::size_t{1} << header.bits;
  std::size_t count = header.coloursUsed ? header.coloursUsed : maxEntries;
  count = std::min(count, maxEntries);
  const std::size_t entrySize = header.headerSize == 12 ? 3 : 4;
  std::size_t at = 14 + header.headerSize;
  if (header.headerSize == 40 && header.compression == kBitfields) at += 12;
  if (header.headerSize == 40 && header.compression == kAlphaBitfields) at += 16;
  if (!file.has(at, count * entrySize)) return false;
  std::vector<PaletteEntry> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = file.at(at + i * entrySize);
    entries[i] = {entry[0], entry[1], entry[2], 0};
  }
  setPalette(picture, header.bits, entries);
  return true;
}

std::size_t rowOf(const BmpHeader& header, std::size_t storedRow) {
  return header.topDown ? storedRow : static_cast<std::size_t>(header.height) - 1 - storedRow;
}

bool readUncompressed(const ByteReader& file, const BmpHeader& header, Picture& picture, KeepAlive keepAlive) {
  const std::size_t width = picture.width, height = picture.height;
  const std::size_t stride = ((width * header.bits + 31) / 32) * 4;
  if (!file.has(header.dataOffset, stride * (height - 1) + (width * header.bits + 7) / 8))
    return false;
  std::uint32_t masks[4];
  std::copy_n(header.masks, 4, masks);
  if (header.compression == kRgb && header.bits == 16) {
    masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F; masks[3] = 0;
  } else if (header.compression == kRgb && header.bits == 32) {
    masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF; masks[3] = 0;  // 4th byte is padding
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const bool hasAlpha = header.bits >= 16 && masks[3] != 0;
  if (hasAlpha) picture.alpha.assign(picture.pixelCount(), 0);
  for (std::size_t stored = 0; stored < height; ++stored) {
    keepAliveAtRow(keepAlive, stored);
    const std::uint8_t* row = file.at(header.dataOffset + stored * stride);
    const std::size_t y = rowOf(header, stored);
    for (std::size_t x = 0; x < width; ++x) {
      const std::size_t pixel = y * width + x;
      switch (header.bits) {
        case 1: picture.pixels[pixel] = (row[x / 8] >> (7 - x % 8)) & 1; break;
        case 4: picture.pixels[pixel] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15; break;
        case 8: picture.pixels[pixel] = row[x]; break;
        case 24:
          picture.pixels[3 * pixel] = row[3 * x + 2];
          picture.pixels[3 * pixel + 1] = row[3 * x + 1];
          picture.pixels[3 * pixel + 2] = row[3 * x];
          break;
        default: {
          const std::uint32_t value = header.bits == 16
              ? static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8))
              : static_cast<std::uint32_t>(row[4 * x] | (row[4 * x + 1] << 8) |
                                           (row[4 * x + 2] << 16)) | (std::uint32_t{row[4 * x + 3]} << 24);
          picture.pixels[3 * pixel] = red.of(value);
          picture.pixels[3 * pixel + 1] = green.of(value);
          picture.pixels[3 * pixel + 2] = blue.of(value);
          if (hasAlpha) picture.alpha[pixel] = alpha.of(value);
        }
      }
    }
  }
  return true;
}

// RLE4 and RLE8: runs and literal stretches, with end-of-line,
// end-of-bitmap and delta escapes. Pixels never set stay index 0.
bool readRunLength(const ByteReader& file, const BmpHeader& header, Picture& picture, KeepAlive keepAlive) {
  const bool four = header.compression == kRle4;
  const std::size_t width = picture.width, height = picture.height;
  std::size_t at = header.dataOffset, x = 0, stored = 0;
  auto put = [&](std::uint8_t index) {
    if (x < width && stored < height) picture.pixels[rowOf(header, stored) * width + x] = index;
    ++x;
  };
  while (stored < height) {
    if (!file.has(at, 2)) return false;
    const std::uint8_t count = file.u8(at), value = file.u8(at + 1);
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i % 2) ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      keepAliveAtRow(keepAlive, stored++);
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (!file.has(at, 2)) return false;
      x += file.u8(at);
      stored += file.u8(at + 1);
      at += 2;
    } else {  // literal run of `value` pixels, padded to a 16-bit boundary
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      if (!file.has(at, bytes)) return false;
      for (int i = 0; i < value; ++i) {
        const std::uint8_t byte = file.u8(at + (four ? i / 2 : i));
        put(four ? ((i % 2) ? byte & 15 : byte >> 4) : byte);
      }
      at += (bytes + 1) & ~std::size_t{1};
    }
    if (x > width + 255) return false;  // runs far past the row: damaged data
  }
  return true;
}

}  // namespace

bool decodeBmp(Bytes bytes, Picture& out, KeepAlive keepAlive) {
  const ByteReader file(bytes);
  BmpHeader header;
  if (!readHeader(file, header) || header.dataOffset >= file.size()) return false;
  Picture picture;
  picture.width = static_cast<std::uint32_t>(header.width);
  picture.height = static_cast<std::uint32_t>(header.height);
  picture.dpiX = header.dpiX;
  picture.dpiY = header.dpiY;
  if (header.bits <= 8) {
    if (!readPalette(file, header, picture)) return false;
    picture.pixels.assign(picture.pixelCount(), 0);
  } else {
    picture.bitsPerPixel = 24;
    picture.pixels.assign(picture.pixelCount() * 3, 0);
  }
  const bool ok = (header.compression == kRle4 || header.compression == kRle8)
                      ? readRunLength(file, header, picture, keepAlive)
                      : readUncompressed(file, header, picture, keepAlive);
  if (!ok) return false;
  dropEmptyAlpha(picture);
  out = std::move(picture);
  return true;
}

// The BITMAPCOREHEADER's sides are 16-bit; the others' 32-bit and signed
// (a negative height: rows top first). A negative width declares nothing.
std::optional<DeclaredSize> bmpDeclaredSize(const FileHead& h, const ReadAt&) {
  const std::uint32_t headerSize = le32(&h[14]);
  if (headerSize == 12) return DeclaredSize{le16(&h[18]), le16(&h[20])};
  const auto width = static_cast<std::int32_t>(le32(&h[18]));
  const auto height = static_cast<std::int32_t>(le32(&h[22]));
  if (headerSize < 40 || width <= 0 || height == INT32_MIN) return std::nullopt;
  return DeclaredSize{static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height < 0 ? -height : height)};
}
