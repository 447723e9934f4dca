#pragma once
// The bytes a picture file of each format begins with, in one table: the
// decoders, the header size check and the intake's test for a real PNG
// file read them here. TGA has none.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "image_format.h"

struct Signature {
  ImageFormat format;
  std::string_view first;     // the file's first bytes
  std::string_view at8 = {};  // and these from its ninth byte on (a RIFF file's form)
};

inline constexpr Signature kSignatures[] = {
    {IMAGE_FORMAT_BMP, "BM"},
    {IMAGE_FORMAT_JPG, "\xFF\xD8\xFF"},
    {IMAGE_FORMAT_GIF, "GIF8"},  // then the version, "7a" or "9a", which the decoder reads
    {IMAGE_FORMAT_PNG, "\x89PNG\r\n\x1A\n"},
    {IMAGE_FORMAT_TIF, std::string_view("II*\0", 4)},
    {IMAGE_FORMAT_TIF, std::string_view("MM\0*", 4)},
    {IMAGE_FORMAT_WEBP, "RIFF", "WEBP"},
};

// Whether the bytes begin as a file of the format does (never for a format
// without a signature).
bool startsAs(ImageFormat format, const std::uint8_t* data, std::size_t size);
// The format whose signature the bytes begin with; IMAGE_FORMAT_UNKNOWN
// where none.
ImageFormat formatBySignature(const std::uint8_t* data, std::size_t size);
