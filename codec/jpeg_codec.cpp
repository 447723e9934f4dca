// JPEG through libjpeg (6b interface). The library's default error exit
// ends the process; ours jumps back and the operation fails instead.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "byte_reader.h"
#include "decoders.h"
#include "orientation.h"
#include "output_file.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void jumpOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings are dropped, except the end of the data before the end of the
// picture: libjpeg would fill the rest with grey and call it a success.
void noteMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) info->err->num_warnings = -1000000;
}

void useErrorManager(ErrorManager& errors, jpeg_error_mgr*& slot) {
  slot = jpeg_std_error(&errors.base);
  errors.base.error_exit = jumpOnError;
  errors.base.emit_message = noteMessage;
}

double densityToDpi(int unit, int density) {
  if (density <= 0) return 96;
  if (unit == 1) return density;
  if (unit == 2) return density * 2.54;
  return 96;  // unit 0: an aspect ratio only
}

// The orientation stated by the first EXIF block among the saved markers.
int orientationOf(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
    if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6 && std::memcmp(marker->data, "Exif\0\0", 6) == 0)
      return exifOrientation(marker->data, marker->data_length);
  return 1;
}

// The decode proper; `picture` is filled only on success. No C++ object is
// created between setjmp and the library calls that may jump.
enum class Inks { None, Plain, Inverted };

struct Decoded {
  Inks inks = Inks::None;
  int orientation = 1;
};

bool decodeInto(Bytes file, Picture& picture, std::vector<std::uint8_t>& samples, Decoded& decoded,
                KeepAlive keepAlive) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  useErrorManager(errors, info.err);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, const_cast<unsigned char*>(file.data), static_cast<unsigned long>(file.size));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);  // EXIF: a phone's orientation
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
      !acceptableSize(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const std::size_t width = info.output_width, components = info.output_components;
  const std::size_t rowBytes = width * components;
  try {
    samples.resize(rowBytes * info.output_height);
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    keepAliveAtRow(keepAlive, info.output_scanline);
    JSAMPROW row = samples.data() + rowBytes * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  if (info.err->num_warnings < 0) {  // the data ended early
    jpeg_destroy_decompress(&info);
    return false;
  }
  picture.width = info.output_width;
  picture.height = info.output_height;
  picture.bitsPerPixel = grey ? 8 : 24;
  picture.dpiX = info.saw_JFIF_marker ? densityToDpi(info.density_unit, info.X_density) : 96;
  picture.dpiY = info.saw_JFIF_marker ? densityToDpi(info.density_unit, info.Y_density) : 96;
  // Adobe's CMYK files (as printers write them) store the inks inverted.
  decoded.inks = !cmyk ? Inks::None : info.saw_Adobe_marker ? Inks::Inverted : Inks::Plain;
  decoded.orientation = orientationOf(info);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

void cmykToRgb(const std::vector<std::uint8_t>& cmyk, bool inverted, Picture& picture) {
  picture.pixels.resize(picture.pixelCount() * 3);
  for (std::size_t i = 0; i < picture.pixelCount(); ++i) {
    int c = cmyk[4 * i], m = cmyk[4 * i + 1], y = cmyk[4 * i + 2], k = cmyk[4 * i + 3];
    if (!inverted) {
      c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
    }
    picture.pixels[3 * i] = static_cast<std::uint8_t>(c * k / 255);
    picture.pixels[3 * i + 1] = static_cast<std::uint8_t>(m * k / 255);
    picture.pixels[3 * i + 2] = static_cast<std::uint8_t>(y * k / 255);
  }
}

}  // namespace

bool decodeJpeg(Bytes file, Picture& out, KeepAlive keepAlive) {
  if (!startsAs(IMAGE_FORMAT_JPG, file.data, file.size))
    return false;
  Picture picture;
  std::vector<std::uint8_t> samples;
  Decoded decoded;
  if (!decodeInto(file, picture, samples, decoded, keepAlive)) return false;
  if (decoded.inks != Inks::None) {
    cmykToRgb(samples, decoded.inks == Inks::Inverted, picture);
  } else {
    picture.pixels = std::move(samples);
  }
  turnUpright(picture, decoded.orientation);
  if (picture.bitsPerPixel == 8) {
    std::vector<PaletteEntry> greys(256);
    for (int i = 0; i < 256; ++i) greys[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    setPalette(picture, 8, greys);
  }
  out = std::move(picture);
  return true;
}

namespace {

// One row of the picture as the encoder's input components.
void rowSamples(const Picture& picture, std::size_t y, bool grey, std::uint8_t* row) {
  const std::size_t width = picture.width;
  if (grey) {
    std::copy_n(&picture.pixels[y * width], width, row);
  } else if (picture.isPalette()) {  // a colour palette picture: its colours
    for (std::size_t x = 0; x < width; ++x) {
      const PaletteEntry& c = picture.palette[picture.pixels[y * width + x] % picture.palette.size()];
      row[3 * x] = c.red;
      row[3 * x + 1] = c.green;
      row[3 * x + 2] = c.blue;
    }
  } else {
    std::copy_n(&picture.pixels[y * width * 3], width * 3, row);
  }
}

// JFIF densities are 16-bit; a resolution beyond that is clamped.
UINT16 densityOf(double dpi) {
  return static_cast<UINT16>(std::clamp(sanitizeDpi(dpi) + 0.5, 1.0, 65535.0));
}

// libjpeg's output into our file, a block at a time; a failed write is the
// library's error.
struct FileDestination {
  jpeg_destination_mgr base;
  OutputFile* file;
  JOCTET block[64 * 1024];
};

void startBlock(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FileDestination*>(info->dest);
  destination->base.next_output_byte = destination->block;
  destination->base.free_in_buffer = sizeof destination->block;
}

boolean writeFullBlock(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FileDestination*>(info->dest);
  if (!destination->file->write(destination->block, sizeof destination->block)) ERREXIT(info, JERR_FILE_WRITE);
  startBlock(info);
  return TRUE;
}

void writeLastBlock(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FileDestination*>(info->dest);
  const std::size_t count = sizeof destination->block - destination->base.free_in_buffer;
  if (!destination->file->write(destination->block, count)) ERREXIT(info, JERR_FILE_WRITE);
}

void useFileDestination(jpeg_compress_struct& info, FileDestination& destination, OutputFile& file) {
  destination.file = &file;
  destination.base.init_destination = startBlock;
  destination.base.empty_output_buffer = writeFullBlock;
  destination.base.term_destination = writeLastBlock;
  info.dest = &destination.base;
}

bool writeJpeg(const Picture& picture, int quality, OutputFile& file, FileDestination& destination,
               std::vector<std::uint8_t>& row, KeepAlive keepAlive) {
  jpeg_compress_struct info;
  ErrorManager errors;
  useErrorManager(errors, info.err);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  useFileDestination(info, destination, file);
  const bool grey = isGrayScale(picture);
  info.image_width = picture.width;
  info.image_height = picture.height;
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, FALSE);
  info.density_unit = 1;
  info.X_density = densityOf(picture.dpiX);
  info.Y_density = densityOf(picture.dpiY);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    keepAliveAtRow(keepAlive, info.next_scanline);
    rowSamples(picture, info.next_scanline, grey, row.data());
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

bool encodeJpeg(const Picture& picture, int quality, OutputFile& file, KeepAlive keepAlive) {
  if (picture.pixelCount() == 0 || picture.pixels.empty()) return false;
  std::vector<std::uint8_t> row(std::size_t{picture.width} * 3);
  auto destination = std::make_unique<FileDestination>();
  return writeJpeg(picture, quality, file, *destination, row, keepAlive);
}

// The first start-of-frame marker before the scan.
std::optional<DeclaredSize> jpegDeclaredSize(const FileHead&, const ReadAt& readAt) {
  std::uint64_t at = 2;
  for (int segments = 0; segments < 4096; ++segments) {
    std::uint8_t m[9];
    if (!readAt(at, 2, m) || m[0] != 0xFF) return std::nullopt;
    const std::uint8_t marker = m[1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // the end, or the scan: no frame
    if (!readAt(at + 2, 2, m)) return std::nullopt;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (!readAt(at + 2, 7, m)) return std::nullopt;
      return DeclaredSize{be16(&m[5]), be16(&m[3])};  // precision, lines, then samples per line
    }
    at += 2 + be16(m);
  }
  return std::nullopt;
}
