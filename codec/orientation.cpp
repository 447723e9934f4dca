#include "orientation.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

// Where the source of an upright row starts, and how far the next pixel's
// source lies, in pixels of the stored picture (width w, height h).
struct RowWalk {
  std::ptrdiff_t start, step;
};

RowWalk walkOf(int orientation, std::ptrdiff_t y, std::ptrdiff_t w, std::ptrdiff_t h) {
  switch (orientation) {
    case 2: return {y * w + w - 1, -1};
    case 3: return {(h - 1 - y) * w + w - 1, -1};
    case 4: return {(h - 1 - y) * w, 1};
    case 5: return {y, w};
    case 6: return {(h - 1) * w + y, -w};
    case 7: return {(h - 1) * w + w - 1 - y, -w};
    default: return {w - 1 - y, w};  // 8
  }
}

// One plane of `size`-byte pixels, rearranged.
std::vector<std::uint8_t> turned(const std::vector<std::uint8_t>& plane, std::size_t size, int orientation,
                                 std::uint32_t w, std::uint32_t h) {
  const bool across = orientation >= 5;
  const std::uint32_t newWidth = across ? h : w, newHeight = across ? w : h;
  std::vector<std::uint8_t> out(plane.size());
  std::uint8_t* target = out.data();
  for (std::uint32_t y = 0; y < newHeight; ++y) {
    const RowWalk walk = walkOf(orientation, y, w, h);
    std::ptrdiff_t source = walk.start;
    for (std::uint32_t x = 0; x < newWidth; ++x, source += walk.step, target += size)
      std::memcpy(target, &plane[static_cast<std::size_t>(source) * size], size);
  }
  return out;
}

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  bool littleEndian;
  bool has(std::size_t at, std::size_t count) const { return at <= size && count <= size - at; }
  std::uint32_t u16(std::size_t at) const {
    return littleEndian ? data[at] | data[at + 1] << 8 : data[at] << 8 | data[at + 1];
  }
  std::uint32_t u32(std::size_t at) const {
    return littleEndian ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
  }
};

constexpr std::uint32_t kOrientationTag = 0x0112, kShort = 3;

}  // namespace

void turnUpright(Picture& picture, int orientation) {
  if (orientation < 2 || orientation > 8 || picture.pixelCount() == 0) return;
  const std::uint32_t w = picture.width, h = picture.height;
  picture.pixels = turned(picture.pixels, picture.isPalette() ? 1 : 3, orientation, w, h);
  if (!picture.alpha.empty()) picture.alpha = turned(picture.alpha, 1, orientation, w, h);
  if (orientation >= 5) {
    std::swap(picture.width, picture.height);
    std::swap(picture.dpiX, picture.dpiY);
  }
}

int exifOrientation(const std::uint8_t* data, std::size_t size) {
  if (!data || size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0) return 1;
  const std::uint8_t* tiff = data + 6;
  if (!(tiff[0] == tiff[1] && (tiff[0] == 'I' || tiff[0] == 'M'))) return 1;
  const Reader file{tiff, size - 6, tiff[0] == 'I'};
  if (file.u16(2) != 42) return 1;
  const std::size_t directory = file.u32(4);  // the first IFD: the main picture's
  if (!file.has(directory, 2)) return 1;
  const std::size_t entries = file.u16(directory);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + 12 * i;
    if (!file.has(entry, 12)) return 1;
    if (file.u16(entry) != kOrientationTag) continue;
    if (file.u16(entry + 2) != kShort || file.u32(entry + 4) != 1) return 1;
    const std::uint32_t value = file.u16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}
