#pragma once
// The size a picture file declares in its header, read before any pixel:
// a file that declares more than the codec's limits is refused as too
// large without reading it whole.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "image_format.h"

// Reads `count` bytes at `offset` of the file into `out`; false where the
// file has fewer.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t count, std::uint8_t* out)>;

// True when the header of the format the file's signature shows (BMP, GIF,
// JPEG, PNG, TIFF, WebP; TGA, which has none, when the name says TGA) declares a
// width or height beyond the side limit or a picture beyond the pixel
// limit. False where no header declares a size, or a size the codec takes
// (the decoder then judges the rest).
bool declaresTooLarge(ImageFormat named, const ReadAt& readAt);
