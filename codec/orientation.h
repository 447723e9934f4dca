#pragma once
// Pictures that a camera stored turned or mirrored, shown upright as
// Windows' photo viewer shows them. The orientation value is that of EXIF
// and TIFF (tag 274): where the stored first row and first column belong.
//   1 upright            2 mirrored left-right   3 turned half round
//   4 mirrored top-bottom 5 mirrored along the main diagonal
//   6 shown turned a quarter clockwise  7 mirrored along the other diagonal
//   8 shown turned a quarter anticlockwise
#include <cstddef>
#include <cstdint>

#include "picture.h"

// Turns or mirrors the picture (pixels, alpha plane, resolution; width and
// height change places for 5 to 8). Any value but 2 to 8 leaves it as it is.
void turnUpright(Picture& picture, int orientation);

// The orientation an EXIF block states (an APP1 segment's data, beginning
// "Exif\0\0"); 1 where it states none, or none that can be read. Only the
// tag's value is taken from the block: no size, offset or count in it is
// trusted beyond the block's bytes.
int exifOrientation(const std::uint8_t* data, std::size_t size);
