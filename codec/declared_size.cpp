#include "declared_size.h"

#include <optional>

#include "decoders.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

std::optional<DeclaredSize> declaredSize(ImageFormat named, const ReadAt& readAt) {
  FileHead head{};
  if (!readAt(0, 18, head.data())) return std::nullopt;
  readAt(0, head.size(), head.data());  // the rest where the file has it
  switch (formatBySignature(head.data(), head.size())) {
    case IMAGE_FORMAT_BMP: return bmpDeclaredSize(head, readAt);
    case IMAGE_FORMAT_JPG: return jpegDeclaredSize(head, readAt);
    case IMAGE_FORMAT_GIF: return gifDeclaredSize(head, readAt);
    case IMAGE_FORMAT_PNG: return pngDeclaredSize(head, readAt);
    case IMAGE_FORMAT_TIF: return tiffDeclaredSize(head, readAt);
    case IMAGE_FORMAT_WEBP: return webpDeclaredSize(head, readAt);
    default:  // TGA has no signature: its header counts where the name says TGA
      return named == IMAGE_FORMAT_TGA ? tgaDeclaredSize(head, readAt) : std::nullopt;
  }
}

}  // namespace

bool declaresTooLarge(ImageFormat named, const ReadAt& readAt) {
  const std::optional<DeclaredSize> size = declaredSize(named, readAt);
  if (!size || size->width == 0 || size->height == 0) return false;
  return !acceptableSize(size->width, size->height);
}
