#include "declared_size.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include <webp/decode.h>

#include "size_limits.h"

namespace {

struct Size {
  std::uint64_t width, height;
};

using Header = std::array<std::uint8_t, 32>;

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t* p) { return le16(p) | (std::uint32_t{le16(p + 2)} << 16); }
std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
std::uint32_t be32(const std::uint8_t* p) { return (std::uint32_t{be16(p)} << 16) | be16(p + 2); }

// The BITMAPCOREHEADER's sides are 16-bit; the others' 32-bit and signed
// (a negative height: rows top first). A negative width declares nothing.
std::optional<Size> bmpSize(const Header& h) {
  const std::uint32_t headerSize = le32(&h[14]);
  if (headerSize == 12) return Size{le16(&h[18]), le16(&h[20])};
  const auto width = static_cast<std::int32_t>(le32(&h[18]));
  const auto height = static_cast<std::int32_t>(le32(&h[22]));
  if (headerSize < 40 || width <= 0 || height == INT32_MIN) return std::nullopt;
  return Size{static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height < 0 ? -height : height)};
}

std::optional<Size> pngSize(const Header& h) {
  if (std::memcmp(&h[12], "IHDR", 4) != 0) return std::nullopt;
  return Size{be32(&h[16]), be32(&h[20])};
}

// The decoder takes the first image's size (the logical screen only when
// the image fits on it): the image descriptor after the screen's colour
// table and any extensions.
std::optional<Size> gifSize(const Header& h, const ReadAt& readAt) {
  std::uint64_t at = 13 + ((h[10] & 0x80) ? 3u << ((h[10] & 7) + 1) : 0);
  for (int blocks = 0; blocks < 4096; ++blocks) {
    std::uint8_t b[10];
    if (!readAt(at, 1, b)) return std::nullopt;
    if (b[0] == 0x2C) {
      if (!readAt(at, 10, b)) return std::nullopt;
      return Size{le16(&b[5]), le16(&b[7])};
    }
    if (b[0] != 0x21 || !readAt(at, 2, b)) return std::nullopt;
    at += 2;  // introducer and label, then sub-blocks until one of length 0
    for (std::uint8_t length = 1; length != 0; at += length + 1u) {
      if (!readAt(at, 1, &length) || ++blocks >= 4096) return std::nullopt;
    }
  }
  return std::nullopt;
}

// The first start-of-frame marker before the scan.
std::optional<Size> jpegSize(const ReadAt& readAt) {
  std::uint64_t at = 2;
  for (int segments = 0; segments < 4096; ++segments) {
    std::uint8_t m[9];
    if (!readAt(at, 2, m) || m[0] != 0xFF) return std::nullopt;
    const std::uint8_t marker = m[1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // the end, or the scan: no frame
    if (!readAt(at + 2, 2, m)) return std::nullopt;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (!readAt(at + 2, 7, m)) return std::nullopt;
      return Size{be16(&m[5]), be16(&m[3])};  // precision, lines, then samples per line
    }
    at += 2 + be16(m);
  }
  return std::nullopt;
}

// The first directory's ImageWidth (256) and ImageLength (257), SHORT or
// LONG, in either byte order. A tag that stands twice counts by its first
// entry, as libtiff reads it (it ignores the repeats).
std::optional<Size> tiffSize(const Header& h, const ReadAt& readAt) {
  const bool little = h[0] == 'I';
  auto u16 = [little](const std::uint8_t* p) { return little ? le16(p) : be16(p); };
  auto u32 = [little](const std::uint8_t* p) { return little ? le32(p) : be32(p); };
  const std::uint64_t directory = u32(&h[4]);
  std::uint8_t count[2];
  if (!readAt(directory, 2, count)) return std::nullopt;
  std::optional<std::uint64_t> width, height;
  bool widthSeen = false, heightSeen = false;
  for (std::uint32_t i = 0, n = u16(count); i < n && i < 4096; ++i) {
    std::uint8_t entry[12];
    if (!readAt(directory + 2 + 12ull * i, 12, entry)) return std::nullopt;
    const std::uint16_t tag = u16(entry), type = u16(entry + 2);
    if (tag != 256 && tag != 257) continue;
    bool& seen = tag == 256 ? widthSeen : heightSeen;
    if (std::exchange(seen, true)) continue;
    if (type == 3 || type == 4) (tag == 256 ? width : height) = type == 3 ? u16(entry + 8) : u32(entry + 8);
  }
  if (!width || !height) return std::nullopt;
  return Size{*width, *height};
}

std::uint32_t le24(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16); }

// A RIFF container's first chunks: the canvas of an extended file (VP8X:
// read as it stands, whatever the pictures in it say), else the frame
// header of its one picture.
std::optional<Size> webpSize(const Header& h, const ReadAt& readAt) {
  if (std::memcmp(&h[12], "VP8X", 4) == 0) {
    std::uint8_t canvas[6];
    if (!readAt(24, 6, canvas)) return std::nullopt;
    return Size{le24(canvas) + 1ull, le24(canvas + 3) + 1ull};
  }
  std::array<std::uint8_t, 64> head{};
  std::size_t have = 0;
  for (std::size_t size : {64, 48, 40, 34, 30, 25})  // a short file: what it has (a VP8X header is 30)
    if (readAt(0, size, head.data())) {
      have = size;
      break;
    }
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(head.data(), have, &features) != VP8_STATUS_OK) return std::nullopt;
  return Size{static_cast<std::uint64_t>(features.width), static_cast<std::uint64_t>(features.height)};
}

// A TGA header is only noise unless its fields are those of a picture the
// decoder would read.
std::optional<Size> tgaSize(const Header& h) {
  const std::uint8_t mapType = h[1], imageType = h[2], depth = h[16], descriptor = h[17];
  const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                         imageType == 10 || imageType == 11;
  const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  if (mapType > 1 || !knownType || !knownDepth || (descriptor & 0xC0)) return std::nullopt;
  return Size{le16(&h[12]), le16(&h[14])};
}

std::optional<Size> declaredSize(ImageFormat named, const ReadAt& readAt) {
  Header h{};
  if (!readAt(0, 18, h.data())) return std::nullopt;
  readAt(0, h.size(), h.data());  // the rest where the file has it
  if (h[0] == 'B' && h[1] == 'M') return bmpSize(h);
  if (h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) return jpegSize(readAt);
  if (std::memcmp(h.data(), "GIF8", 4) == 0) return gifSize(h, readAt);
  if (std::memcmp(h.data(), "\x89PNG\r\n\x1A\n", 8) == 0) return pngSize(h);
  if (std::memcmp(h.data(), "II*\0", 4) == 0 || std::memcmp(h.data(), "MM\0*", 4) == 0) return tiffSize(h, readAt);
  if (std::memcmp(h.data(), "RIFF", 4) == 0 && std::memcmp(h.data() + 8, "WEBP", 4) == 0) return webpSize(h, readAt);
  if (named == IMAGE_FORMAT_TGA) return tgaSize(h);
  return std::nullopt;
}

}  // namespace

bool declaresTooLarge(ImageFormat named, const ReadAt& readAt) {
  const std::optional<Size> size = declaredSize(named, readAt);
  if (!size || size->width == 0 || size->height == 0) return false;
  return !acceptableSize(size->width, size->height);
}
