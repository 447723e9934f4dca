#pragma once
// The size a picture file declares in its header, read before any pixel:
// a file that declares more than the codec's limits is refused as too
// large without reading it whole.
#include "file_head.h"
#include "image_format.h"

// True when the header of the format the file's signature shows (BMP, GIF,
// JPEG, PNG, TIFF, WebP; TGA, which has none, when the name says TGA) declares a
// width or height beyond the side limit or a picture beyond the pixel
// limit. False where no header declares a size, or a size the codec takes
// (the decoder then judges the rest).
bool declaresTooLarge(ImageFormat named, const ReadAt& readAt);
