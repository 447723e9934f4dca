// TIFF through libtiff, read from memory. Palette images of 1 to 8 bits in
// strips keep their colour map; everything else is read as RGBA.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include <tiffio.h>

#include "byte_reader.h"
#include "decoders.h"
#include "orientation.h"
#include "size_limits.h"

namespace {

struct MemoryFile {
  Bytes bytes;
  toff_t at = 0;
};

tmsize_t readMemory(thandle_t handle, void* target, tmsize_t count) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (count < 0 || file->at >= file->bytes.size) return 0;
  const auto available = static_cast<tmsize_t>(file->bytes.size - file->at);
  const tmsize_t taken = std::min(count, available);
  std::memcpy(target, file->bytes.data + file->at, static_cast<std::size_t>(taken));
  file->at += static_cast<toff_t>(taken);
  return taken;
}

tmsize_t refuseWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  toff_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? file->bytes.size : 0;
  file->at = base + offset;
  return file->at;
}

int closeMemory(thandle_t) { return 0; }
toff_t sizeOfMemory(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size; }
int noMapping(thandle_t, void**, toff_t*) { return 0; }
void noUnmapping(thandle_t, void*, toff_t) {}

// libtiff reports data beyond the end of the file (a truncated file) as
// warnings and carries on without the tag; such a file is refused.
thread_local bool dataMissing = false;

void noteWarning(const char*, const char* format, va_list arguments) {
  char message[256];
  std::vsnprintf(message, sizeof message, format, arguments);
  if (std::strstr(message, "IO error") || std::strstr(message, "Read error") ||
      std::strstr(message, "past end"))
    dataMissing = true;
}

void silence(const char*, const char*, va_list) {}

double dpiOf(TIFF* tiff, ttag_t tag) {
  float resolution = 0;
  std::uint16_t unit = RESUNIT_INCH;
  if (!TIFFGetField(tiff, tag, &resolution)) return 96;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (unit == RESUNIT_INCH) return sanitizeDpi(resolution);
  if (unit == RESUNIT_CENTIMETER) return sanitizeDpi(resolution * 2.54);
  return 96;
}

bool readPaletteImage(TIFF* tiff, Picture& picture, int bits, KeepAlive keepAlive) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) return false;
  const std::size_t entries = std::size_t{1} << bits;
  bool sixteenBit = false;
  for (std::size_t i = 0; i < entries; ++i)
    if (red[i] > 255 || green[i] > 255 || blue[i] > 255) sixteenBit = true;
  std::vector<PaletteEntry> palette(entries);
  auto eight = [&](std::uint16_t v) {
    return static_cast<std::uint8_t>(sixteenBit ? (v * 255u + 32767u) / 65535u : v);
  };
  for (std::size_t i = 0; i < entries; ++i) palette[i] = {eight(blue[i]), eight(green[i]), eight(red[i]), 0};
  setPalette(picture, bits, palette);
  const tmsize_t lineSize = TIFFScanlineSize(tiff);
  if (lineSize <= 0 || static_cast<std::size_t>(lineSize) < (std::size_t{picture.width} * bits + 7) / 8)
    return false;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
  picture.pixels.resize(picture.pixelCount());
  const int perByte = 8 / bits;
  for (std::uint32_t y = 0; y < picture.height; ++y) {
    keepAliveAtRow(keepAlive, y);
    if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) return false;
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const std::uint8_t byte = line[x / perByte];
      picture.pixels[std::size_t{y} * picture.width + x] = static_cast<std::uint8_t>(
          (byte >> (8 - bits * (1 + x % perByte))) & ((1 << bits) - 1));
    }
  }
  return true;
}

// In one call: libtiff decodes whole strips or tiles, so reading in bands
// of rows would decode a strip once for every band that it covers. The rows
// come as stored: asked for the file's own orientation, libtiff flips
// nothing (it would flip for 2 to 4, and only flip for 5 to 8).
bool readRgbaImage(TIFF* tiff, Picture& picture, int orientation) {
  std::uint16_t extraCount = 0;
  std::uint16_t* extraKinds = nullptr;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
  const bool hasAlpha = extraCount > 0 && extraKinds &&
                        (extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA);
  std::vector<std::uint32_t> raster(picture.pixelCount());
  if (!TIFFReadRGBAImageOriented(tiff, picture.width, picture.height, raster.data(), orientation, 0))
    return false;
  picture.bitsPerPixel = 24;
  picture.pixels.resize(picture.pixelCount() * 3);
  if (hasAlpha) picture.alpha.resize(picture.pixelCount());
  for (std::size_t i = 0; i < picture.pixelCount(); ++i) {
    picture.pixels[3 * i] = static_cast<std::uint8_t>(TIFFGetR(raster[i]));
    picture.pixels[3 * i + 1] = static_cast<std::uint8_t>(TIFFGetG(raster[i]));
    picture.pixels[3 * i + 2] = static_cast<std::uint8_t>(TIFFGetB(raster[i]));
    if (hasAlpha) picture.alpha[i] = static_cast<std::uint8_t>(TIFFGetA(raster[i]));
  }
  dropEmptyAlpha(picture);
  return true;
}

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// libtiff sizes its strip and tile buffers from the header, so a few
// hostile bytes can ask for gigabytes. No buffer of a picture within our
// limits needs more than 8 bytes a pixel (four 16-bit samples).
constexpr tmsize_t kMaxLibraryAllocation = static_cast<tmsize_t>(kMaxPixels * 8);

TIFF* openFromMemory(MemoryFile& memory) {
  std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibraryAllocation);
  return TIFFClientOpenExt("memory", "rm", &memory, readMemory, refuseWrite, seekMemory, closeMemory,
                           sizeOfMemory, noMapping, noUnmapping, options.get());
}

}  // namespace

bool decodeTiff(Bytes bytes, Picture& out, KeepAlive keepAlive) {
  if (bytes.size < 8 || !((bytes.data[0] == 'I' && bytes.data[1] == 'I' && bytes.data[2] == 42 && bytes.data[3] == 0) ||
                          (bytes.data[0] == 'M' && bytes.data[1] == 'M' && bytes.data[2] == 0 && bytes.data[3] == 42)))
    return false;
  TIFFSetErrorHandler(silence);
  TIFFSetWarningHandler(noteWarning);
  dataMissing = false;
  MemoryFile memory{bytes};
  std::unique_ptr<TIFF, TiffCloser> tiff(openFromMemory(memory));
  if (!tiff) return false;
  std::uint32_t width = 0, height = 0;
  std::uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
  TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
  std::uint16_t orientation = ORIENTATION_TOPLEFT;  // libtiff keeps only values 1 to 8
  TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_ORIENTATION, &orientation);
  if (!acceptableSize(width, height)) return false;
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.dpiX = dpiOf(tiff.get(), TIFFTAG_XRESOLUTION);
  picture.dpiY = dpiOf(tiff.get(), TIFFTAG_YRESOLUTION);
  const bool stripPalette = photometric == PHOTOMETRIC_PALETTE && samples == 1 &&
                            (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
                            !TIFFIsTiled(tiff.get());
  if (!(stripPalette ? readPaletteImage(tiff.get(), picture, bits, keepAlive)
                     : readRgbaImage(tiff.get(), picture, orientation)))
    return false;
  if (dataMissing) return false;
  turnUpright(picture, orientation);
  out = std::move(picture);
  return true;
}

// The first directory's ImageWidth (256) and ImageLength (257), SHORT or
// LONG, in either byte order. A tag that stands twice counts by its first
// entry, as libtiff reads it (it ignores the repeats).
std::optional<DeclaredSize> tiffDeclaredSize(const FileHead& h, const ReadAt& readAt) {
  const bool little = h[0] == 'I';
  auto u16 = [little](const std::uint8_t* p) { return little ? le16(p) : be16(p); };
  auto u32 = [little](const std::uint8_t* p) { return little ? le32(p) : be32(p); };
  const std::uint64_t directory = u32(&h[4]);
  std::uint8_t count[2];
  if (!readAt(directory, 2, count)) return std::nullopt;
  std::optional<std::uint64_t> width, height;
  bool widthSeen = false, heightSeen = false;
  for (std::uint32_t i = 0, n = u16(count); i < n && i < 4096; ++i) {
    std::uint8_t entry[12];
    if (!readAt(directory + 2 + 12ull * i, 12, entry)) return std::nullopt;
    const std::uint16_t tag = u16(entry), type = u16(entry + 2);
    if (tag != 256 && tag != 257) continue;
    bool& seen = tag == 256 ? widthSeen : heightSeen;
    if (std::exchange(seen, true)) continue;
    if (type == 3 || type == 4) (tag == 256 ? width : height) = type == 3 ? u16(entry + 8) : u32(entry + 8);
  }
  if (!width || !height) return std::nullopt;
  return DeclaredSize{*width, *height};
}
