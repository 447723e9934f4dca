#pragma once
// One decoder per format: the file's bytes in, a complete picture out.
// Each returns false for anything it cannot decode whole, and never
// touches `out` then (callers decode into a fresh picture anyway).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "picture.h"

struct Bytes {
  const std::uint8_t* data;
  std::size_t size;
};

bool decodeBmp(Bytes file, Picture& out);
bool decodeGif(Bytes file, Picture& out);
bool decodeTga(Bytes file, Picture& out);
bool decodeJpeg(Bytes file, Picture& out);
bool decodePng(Bytes file, Picture& out);
bool decodeTiff(Bytes file, Picture& out);

// Encoders write to an open file; false when the picture is refused or
// the library reports an error.
bool encodeJpeg(const Picture& picture, int quality, std::FILE* file);
bool encodePng(const Picture& picture, bool interlace, std::FILE* file);
