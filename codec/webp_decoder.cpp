// WebP through libwebp: a still picture, or an animation's first frame on
// its canvas (as a GIF's first image on its logical screen). The frame is
// decoded incrementally, a piece at a time, so that a large file keeps the
// caller's keep-alive called; an EXIF orientation is applied as for a JPEG.
#include <webp/decode.h>
#include <webp/demux.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "byte_reader.h"
#include "decoders.h"
#include "orientation.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

constexpr std::size_t kPieceBytes = 256 * 1024;

struct DemuxerCloser {
  void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};
struct DecoderCloser {
  void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};
using Demuxer = std::unique_ptr<WebPDemuxer, DemuxerCloser>;

// The first frame as the container holds it: where it lies on the canvas,
// and its bitstream (an alpha chunk and the picture's chunk).
struct Frame {
  std::uint32_t x = 0, y = 0, width = 0, height = 0;
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  bool hasAlpha = false;  // its own bitstream's, whatever the file's flag says
};

bool firstFrame(WebPDemuxer* demuxer, std::uint32_t canvasWidth, std::uint32_t canvasHeight, Frame& frame) {
  WebPIterator iterator;
  if (!WebPDemuxGetFrame(demuxer, 1, &iterator)) return false;
  frame = {static_cast<std::uint32_t>(iterator.x_offset), static_cast<std::uint32_t>(iterator.y_offset),
           static_cast<std::uint32_t>(iterator.width), static_cast<std::uint32_t>(iterator.height),
           iterator.fragment.bytes, iterator.fragment.size};
  WebPDemuxReleaseIterator(&iterator);
  // The bitstream's own size must be the frame's, and the frame on the
  // canvas: the decoder writes that many rows and columns.
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(frame.bytes, frame.size, &features) != VP8_STATUS_OK) return false;
  frame.hasAlpha = features.has_alpha;
  return static_cast<std::uint32_t>(features.width) == frame.width &&
         static_cast<std::uint32_t>(features.height) == frame.height && frame.width > 0 && frame.height > 0 &&
         frame.x <= canvasWidth && frame.width <= canvasWidth - frame.x && frame.y <= canvasHeight &&
         frame.height <= canvasHeight - frame.y;
}

// The frame's bitstream into `target` (rows `stride` bytes apart, RGB or
// RGBA), fed to libwebp's incremental decoder a piece at a time.
bool decodeFrame(const Frame& frame, WEBP_CSP_MODE mode, std::uint8_t* target, std::size_t stride,
                 KeepAlive keepAlive) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return false;
  config.output.colorspace = mode;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = target;
  config.output.u.RGBA.stride = static_cast<int>(stride);
  config.output.u.RGBA.size = stride * (frame.height - 1) + frame.width * (mode == MODE_RGBA ? 4 : 3);
  const std::unique_ptr<WebPIDecoder, DecoderCloser> decoder(WebPIDecode(nullptr, 0, &config));
  if (!decoder) return false;
  for (std::size_t fed = 0; fed < frame.size;) {
    fed += std::min(kPieceBytes, frame.size - fed);
    const VP8StatusCode status = WebPIUpdate(decoder.get(), frame.bytes, fed);
    if (status == VP8_STATUS_OK) return true;
    if (status != VP8_STATUS_SUSPENDED) return false;
    if (keepAlive) keepAlive();
  }
  return false;  // the data ended before the picture
}

// The alpha channel out of RGBA pixels into its plane, the pixels left RGB
// (in place: each pixel moves only towards the start).
void splitAlpha(Picture& picture) {
  const std::size_t count = picture.pixelCount();
  picture.alpha.resize(count);
  std::uint8_t* p = picture.pixels.data();
  for (std::size_t i = 0; i < count; ++i) {
    picture.alpha[i] = p[4 * i + 3];
    std::memmove(p + 3 * i, p + 4 * i, 3);
  }
  picture.pixels.resize(count * 3);
}

// The orientation an EXIF chunk states; its payload is the TIFF block,
// with or without the "Exif\0\0" that JPEG puts before it.
int orientationOf(WebPDemuxer* demuxer) {
  WebPChunkIterator chunk;
  if (!WebPDemuxGetChunk(demuxer, "EXIF", 1, &chunk)) return 1;
  std::vector<std::uint8_t> block(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
  WebPDemuxReleaseChunkIterator(&chunk);
  if (block.size() < 6 || std::memcmp(block.data(), "Exif\0\0", 6) != 0)
    block.insert(block.begin(), {'E', 'x', 'i', 'f', 0, 0});
  return exifOrientation(block.data(), block.size());
}

}  // namespace

bool decodeWebp(Bytes file, Picture& out, KeepAlive keepAlive) {
  if (!startsAs(IMAGE_FORMAT_WEBP, file.data, file.size)) return false;
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(file.data, file.size, &features) != VP8_STATUS_OK) return false;
  const WebPData data{file.data, file.size};
  const Demuxer demuxer(WebPDemux(&data));  // refuses a file that is cut short or lies about its sizes
  if (!demuxer) return false;
  const std::uint32_t width = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_WIDTH);
  const std::uint32_t height = WebPDemuxGetI(demuxer.get(), WEBP_FF_CANVAS_HEIGHT);
  Frame frame;
  if (!acceptableSize(width, height) || !firstFrame(demuxer.get(), width, height, frame)) return false;
  Picture picture;
  picture.width = width;
  picture.height = height;
  // An animation's canvas is transparent where its first frame does not
  // cover it (the ANIM chunk's background colour is only a hint, which
  // libwebp's animation decoder and the browsers leave aside).
  const bool coversCanvas = frame.width == width && frame.height == height;
  const bool alpha = features.has_alpha || frame.hasAlpha || !coversCanvas;
  const std::size_t channels = alpha ? 4 : 3, stride = width * channels;
  picture.pixels.assign(picture.pixelCount() * channels, 0);  // beyond the first frame: transparent black
  std::uint8_t* target = picture.pixels.data() + frame.y * stride + frame.x * channels;
  if (!decodeFrame(frame, alpha ? MODE_RGBA : MODE_RGB, target, stride, keepAlive)) return false;
  if (alpha) splitAlpha(picture);
  turnUpright(picture, orientationOf(demuxer.get()));
  out = std::move(picture);
  return true;
}

// A RIFF container's first chunks: the canvas of an extended file (VP8X:
// read as it stands, whatever the pictures in it say), else the frame
// header of its one picture.
std::optional<DeclaredSize> webpDeclaredSize(const FileHead& h, const ReadAt& readAt) {
  if (std::memcmp(&h[12], "VP8X", 4) == 0) {
    std::uint8_t canvas[6];
    if (!readAt(24, 6, canvas)) return std::nullopt;
    return DeclaredSize{le24(canvas) + 1ull, le24(canvas + 3) + 1ull};
  }
  std::array<std::uint8_t, 64> head{};
  std::size_t have = 0;
  for (std::size_t size : {64, 48, 40, 34, 30, 25})  // a short file: what it has (a VP8X header is 30)
    if (readAt(0, size, head.data())) {
      have = size;
      break;
    }
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(head.data(), have, &features) != VP8_STATUS_OK) return std::nullopt;
  return DeclaredSize{static_cast<std::uint64_t>(features.width), static_cast<std::uint64_t>(features.height)};
}
