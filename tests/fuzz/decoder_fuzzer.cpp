// One decoder of the codec under libFuzzer; FUZZ_DECODER names it. Each
// decoded picture is also checked for consistency and encoded, so that a
// decoder that claims success with a malformed picture is caught too; the
// header probe that runs before any decode reads every input as well.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "declared_size.h"
#include "decoders.h"
#include "image_codec.h"
#include "output_file.h"

// Through decodeAs, as the program calls the decoders.
#define decode_bmp IMAGE_FORMAT_BMP
#define decode_gif IMAGE_FORMAT_GIF
#define decode_tga IMAGE_FORMAT_TGA
#define decode_jpeg IMAGE_FORMAT_JPG
#define decode_png IMAGE_FORMAT_PNG
#define decode_tiff IMAGE_FORMAT_TIF
#define decode_webp IMAGE_FORMAT_WEBP

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  declaresTooLarge(FUZZ_DECODER, [&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
    if (offset > size || count > size - offset) return false;
    std::memcpy(out, data + offset, count);
    return true;
  });
  Picture picture;
  if (!decodeAs(FUZZ_DECODER, data, size, picture)) return 0;
  const std::size_t samples = picture.isPalette() ? 1 : 3;
  if (picture.pixels.size() != picture.pixelCount() * samples) std::abort();
  if (!picture.alpha.empty() && picture.alpha.size() != picture.pixelCount()) std::abort();
  if (picture.isPalette() && picture.palette.size() != (std::size_t{1} << picture.bitsPerPixel)) std::abort();
  if (picture.pixelCount() <= 64 * 64) {  // encoders too, on small pictures (kept quick)
    OutputFile sink("/dev/null");
    encodePng(picture, false, sink);
    encodeJpeg(picture, 90, sink);
  }
  return 0;
}
