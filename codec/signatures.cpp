#include "signatures.h"

#include <cstring>

namespace {

bool holdsAt(const std::uint8_t* data, std::size_t size, std::size_t at, std::string_view bytes) {
  if (bytes.empty()) return true;
  return size >= at + bytes.size() && std::memcmp(data + at, bytes.data(), bytes.size()) == 0;
}

bool matches(const Signature& signature, const std::uint8_t* data, std::size_t size) {
  return holdsAt(data, size, 0, signature.first) && holdsAt(data, size, 8, signature.at8);
}

}  // namespace

bool startsAs(ImageFormat format, const std::uint8_t* data, std::size_t size) {
  for (const Signature& signature : kSignatures)
    if (signature.format == format && matches(signature, data, size)) return true;
  return false;
}

ImageFormat formatBySignature(const std::uint8_t* data, std::size_t size) {
  for (const Signature& signature : kSignatures)
    if (matches(signature, data, size)) return signature.format;
  return IMAGE_FORMAT_UNKNOWN;
}
