#pragma once
// In-memory re-encoding through GDI+ and the size probe of the JPEG
// working copy.
#include <cstdint>

#include "byte_buffer.h"
#include "text.h"

// Re-encodes an encoded picture as BMP (1), JPEG (2), GIF (3), TIFF (4) or
// PNG (5). True when a result was obtained and, with a non-blank
// outputPath, written whole to that file: `output` then holds it. On false
// `output` is unchanged.
bool reencodeBytes(const ByteBuffer& source, int targetFormat, const Text& outputPath,
                   ByteBuffer& output, bool flattenOnWhite = false);

// Width and height from the picture's BMP form (0 when it has none).
std::int32_t pictureWidthOf(const ByteBuffer& picture);
std::int32_t pictureHeightOf(const ByteBuffer& picture);

// True when the JPEG working copy's width and height are multiples of 4.
// With widthRead, also the width that its first decode read (0 when the
// copy could not be read back). Answers the hang check between the decodes.
bool sizeIsMultipleOf4(std::int32_t* widthRead = nullptr);
