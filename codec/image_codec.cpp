#include "image_codec.h"

#include <cstdio>
#include <new>
#include <vector>

#include "decoders.h"
#include "file_open.h"
#include "output_file.h"
#include "size_limits.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The whole file; nullopt when it cannot be read (or is too large).
std::optional<std::vector<std::uint8_t>> readWhole(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return std::nullopt;
  const long size = std::ftell(file);
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes || std::fseek(file, 0, SEEK_SET) != 0)
    return std::nullopt;
  try {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return std::nullopt;
    return bytes;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// The one allocation guard: the decoders and encoders allocate as they go,
// and a failed allocation is their failure (nothing else here throws).
template <typename Work>
bool withoutThrowing(Work&& work) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return false;
  }
}

using Decoder = bool (*)(Bytes, Picture&, KeepAlive);

Decoder decoderOf(ImageFormat format) {
  switch (format) {
    case IMAGE_FORMAT_BMP: return decodeBmp;
    case IMAGE_FORMAT_GIF: return decodeGif;
    case IMAGE_FORMAT_JPG: return decodeJpeg;
    case IMAGE_FORMAT_PNG: return decodePng;
    case IMAGE_FORMAT_TIF: return decodeTiff;
    case IMAGE_FORMAT_TGA: return decodeTga;
    case IMAGE_FORMAT_WEBP: return decodeWebp;
    default: return nullptr;  // ICO, PCX, WBMP, WMF, JPEG 2000: not included
  }
}

}  // namespace

bool decodeAs(ImageFormat format, const std::uint8_t* data, std::size_t size, Picture& out,
              KeepAlive keepAlive) {
  Decoder decoder = decoderOf(format);
  return decoder && withoutThrowing([&] { return decoder({data, size}, out, keepAlive); });
}

bool decodeByContent(const std::uint8_t* data, std::size_t size, Picture& out, KeepAlive keepAlive) {
  // WebP by its RIFF signature, right before TGA, whose header has none.
  for (ImageFormat format : {IMAGE_FORMAT_BMP, IMAGE_FORMAT_JPG, IMAGE_FORMAT_ICO, IMAGE_FORMAT_GIF,
                             IMAGE_FORMAT_PNG, IMAGE_FORMAT_TIF, IMAGE_FORMAT_WEBP, IMAGE_FORMAT_TGA,
                             IMAGE_FORMAT_PCX, IMAGE_FORMAT_WBMP, IMAGE_FORMAT_WMF, IMAGE_FORMAT_JP2})
    if (decodeAs(format, data, size, out, keepAlive)) return true;
  return false;
}

// Format ids 1 to 16 are tried first; a failure, and every other id, falls
// back to detection by content. Only a complete success replaces the held
// picture.
bool ImageCodec::LoadBytes(const std::uint8_t* data, std::size_t size, ImageFormat format, KeepAlive keepAlive) {
  if (size > kMaxFileBytes) return false;
  Picture decoded;  // a fresh picture
  const bool ok = (format >= 1 && format <= IMAGE_FORMAT_WEBP && decodeAs(format, data, size, decoded, keepAlive)) ||
                  decodeByContent(data, size, decoded, keepAlive);
  if (ok) picture_ = std::move(decoded);
  return ok;
}

bool ImageCodec::Load(const std::string& path, ImageFormat format, KeepAlive keepAlive) {
  File file(openFile(path, "rb"));
  if (!file) return false;  // no fall-back when the file cannot be opened
  const auto bytes = readWhole(file.get());
  return bytes && LoadBytes(bytes->data(), bytes->size(), format, keepAlive);
}

bool ImageCodec::Save(const std::string& path, ImageFormat format, KeepAlive keepAlive) const {
  OutputFile file(path);  // created, or cut to length 0
  if (!file.isOpen()) return false;
  bool encoded = false;
  if (picture_ && format == IMAGE_FORMAT_JPG)
    encoded = withoutThrowing([&] { return encodeJpeg(*picture_, GetJpegQuality(), file, keepAlive); });
  else if (picture_ && format == IMAGE_FORMAT_PNG)
    encoded = withoutThrowing(
        [&] { return encodePng(*picture_, GetCodecOption(IMAGE_FORMAT_PNG) == 1, file, keepAlive); });
  const bool closed = file.close();  // written only when this succeeds too
  return encoded && closed;
}

bool ImageObject::DecodeFromFile(const std::string& path, ImageFormat format) {
  if (path.size() <= 3) return false;
  if (!codec_) codec_ = std::make_unique<ImageCodec>();
  return codec_->Load(path, format, keepAlive_);
}

bool ImageObject::DecodeFromMemory(const std::uint8_t* data, std::size_t size, ImageFormat format) {
  if (!codec_) codec_ = std::make_unique<ImageCodec>();
  return codec_->LoadBytes(data, size, format, keepAlive_);
}

bool ImageObject::EecodeToFile(const std::string& path, ImageFormat format) {
  return EecodeToFile(path, format, keepAlive_);
}

bool ImageObject::EecodeToFile(const std::string& path, ImageFormat format, KeepAlive keepAlive) const {
  if (!codec_ || path.size() <= 3) return false;
  return codec_->Save(path, format, keepAlive);
}
