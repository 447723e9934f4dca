#pragma once
// One decoder per format: the file's bytes in, a complete picture out.
// Each returns false for anything it cannot decode whole, and never
// touches `out` then (callers decode into a fresh picture anyway). A failed
// allocation leaves them as std::bad_alloc; decodeAs and ImageCodec, their
// callers, turn it into false.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "file_head.h"
#include "keep_alive.h"
#include "picture.h"

struct Bytes {
  const std::uint8_t* data;
  std::size_t size;
};

bool decodeBmp(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodeGif(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodeTga(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodeJpeg(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodePng(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodeTiff(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);
bool decodeWebp(Bytes file, Picture& out, KeepAlive keepAlive = nullptr);

// Beside each decoder, the size its format's header declares, read before
// any pixel for the header check (declared_size.h); none where the header
// declares none the decoder would take.
std::optional<DeclaredSize> bmpDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> gifDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> tgaDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> jpegDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> pngDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> tiffDeclaredSize(const FileHead& head, const ReadAt& readAt);
std::optional<DeclaredSize> webpDeclaredSize(const FileHead& head, const ReadAt& readAt);

// Encoders write to an open file; false when the picture is refused, the
// library reports an error or a write fails.
class OutputFile;
bool encodeJpeg(const Picture& picture, int quality, OutputFile& file, KeepAlive keepAlive = nullptr);
bool encodePng(const Picture& picture, bool interlace, OutputFile& file, KeepAlive keepAlive = nullptr);
