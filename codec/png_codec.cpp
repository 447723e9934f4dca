// PNG through libpng. Errors jump back to the operation, which fails;
// warnings are dropped.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "byte_reader.h"
#include "decoders.h"
#include "output_file.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

void failOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

struct MemoryInput {
  Bytes bytes;
  std::size_t at = 0;
};

void readFromMemory(png_structp png, png_bytep target, png_size_t count) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (count > input->bytes.size - input->at) png_error(png, "truncated");
  std::memcpy(target, input->bytes.data + input->at, count);
  input->at += count;
}

// libpng allocates a chunk's declared length before it finds the file
// short, so a text chunk of a few bytes that declares 2 GiB costs 2 GiB (a
// limit on chunk allocations only warns while reading). The decoder needs
// none of the text and metadata chunks: they are skipped unread, and every
// other allocation of a chunk is capped.
void ignoreChunksNotNeeded(png_structp png) {
  static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0eXIf\0iCCP\0sPLT\0tIME\0hIST\0pCAL\0sCAL\0sTER\0oFFs\0gIFg\0gIFx\0";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);  // chunks libpng does not know
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, (sizeof kSkipped - 1) / 5);
  png_set_chunk_malloc_max(png, 1 << 20);
  png_set_chunk_cache_max(png, 128);
  png_set_user_limits(png, kMaxSide, kMaxSide);
}

struct DecodeState {
  Picture picture;
  std::vector<std::uint8_t> rows;  // as libpng delivers them
  std::size_t rowBytes = 0;
  int colourType = 0, bitDepth = 0, channels = 0;
  bool greyPalette = false;
  KeepAlive keepAlive = nullptr;
};

// What the header chunks say (IHDR, tRNS); the size and resolution go
// straight into the picture.
struct Header {
  png_uint_32 height = 0;
  int bitDepth = 0, colourType = 0;
  png_bytep transAlpha = nullptr;  // palette pictures: alpha per entry
  int transCount = 0;
  png_color_16p transColour = nullptr;  // other pictures: the transparent colour
  bool hasTrns = false;
};

// The steps below run inside readPng's setjmp frame: libpng's errors jump
// out of them, so they keep nothing that has a destructor.

Header readHeader(png_structp png, png_infop info, Picture& picture) {
  Header header;
  png_uint_32 width = 0;
  int interlace = 0;
  png_get_IHDR(png, info, &width, &header.height, &header.bitDepth, &header.colourType, &interlace,
               nullptr, nullptr);
  if (!acceptableSize(width, header.height)) png_error(png, "too large");
  picture.width = width;
  picture.height = header.height;
  png_uint_32 ppmX = 0, ppmY = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &ppmX, &ppmY, &unit) && unit == PNG_RESOLUTION_METER) {
    picture.dpiX = ppmX > 0 ? ppmX / kInchesPerMetre : 96;
    picture.dpiY = ppmY > 0 ? ppmY / kInchesPerMetre : 96;
  }
  header.hasTrns = png_get_tRNS(png, info, &header.transAlpha, &header.transCount, &header.transColour) != 0;
  return header;
}

// A palette picture of the file's depth with its PLTE, and tRNS as alpha per
// entry, the first fully transparent entry being the transparent index.
void setUpPalette(png_structp png, png_infop info, const Header& header, Picture& picture) {
  png_colorp entries = nullptr;
  int count = 0;
  png_get_PLTE(png, info, &entries, &count);
  std::vector<PaletteEntry>& palette = picture.palette;
  picture.bitsPerPixel = depthFor(header.bitDepth);
  palette.assign(std::size_t{1} << picture.bitsPerPixel, PaletteEntry{});
  for (int i = 0; i < count && i < static_cast<int>(palette.size()); ++i)
    palette[i] = {entries[i].blue, entries[i].green, entries[i].red, 0};
  if (header.hasTrns && header.transAlpha && header.transCount > 0) {
    const int given = std::min(header.transCount, static_cast<int>(palette.size()));
    picture.paletteAlpha.assign(palette.size(), 255);
    for (int i = 0; i < given; ++i) picture.paletteAlpha[i] = header.transAlpha[i];
    for (int i = 0; i < given; ++i)
      if (header.transAlpha[i] == 0) {
        picture.transparentIndex = i;
        picture.transparentColour = palette[i];
        break;
      }
  }
  if (header.bitDepth < 8) png_set_packing(png);  // one index a byte
}

// Grey of 1, 2 or 4 bits: a palette of evenly spaced greys.
void setUpFewGreys(png_structp png, const Header& header, Picture& picture) {
  picture.bitsPerPixel = depthFor(header.bitDepth);
  picture.palette.assign(std::size_t{1} << picture.bitsPerPixel, PaletteEntry{});
  const int levels = 1 << header.bitDepth;
  for (int i = 0; i < levels; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 255 / (levels - 1));
    picture.palette[i] = {grey, grey, grey, 0};
  }
  if (header.hasTrns && header.transColour) {
    picture.transparentIndex = header.transColour->gray & (levels - 1);
    picture.transparentColour = picture.palette[picture.transparentIndex];
  }
  png_set_packing(png);
}

// Grey of 8 or 16 bits: a grey picture (palette entry i is (i, i, i)).
void setUpGrey(const Header& header, DecodeState& state) {
  Picture& picture = state.picture;
  state.greyPalette = true;
  picture.bitsPerPixel = 8;
  picture.palette.resize(256);
  for (int i = 0; i < 256; ++i) picture.palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
  if (header.hasTrns && header.transColour) {
    picture.transparentIndex =
        header.bitDepth == 16 ? header.transColour->gray >> 8 : header.transColour->gray & 255;
    picture.transparentColour = picture.palette[picture.transparentIndex];
  }
}

// Colour, or grey with alpha (made colour): 24 bits, with an RGB file's
// tRNS colour as the transparent colour.
void setUpTrueColour(png_structp png, const Header& header, Picture& picture) {
  picture.bitsPerPixel = 24;
  if (header.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (header.colourType == PNG_COLOR_TYPE_RGB && header.hasTrns && header.transColour) {
    picture.transparentIndex = 0;  // a colour, not an index: see Picture
    const int shift = header.bitDepth == 16 ? 8 : 0;
    const png_color_16& colour = *header.transColour;
    picture.transparentColour = {std::uint8_t(colour.blue >> shift), std::uint8_t(colour.green >> shift),
                                 std::uint8_t(colour.red >> shift), 0};
  }
}

void setUpColourType(png_structp png, png_infop info, const Header& header, DecodeState& state) {
  if (header.bitDepth == 16) png_set_strip_16(png);
  if (header.colourType == PNG_COLOR_TYPE_PALETTE) setUpPalette(png, info, header, state.picture);
  else if (header.colourType == PNG_COLOR_TYPE_GRAY && header.bitDepth < 8) setUpFewGreys(png, header, state.picture);
  else if (header.colourType == PNG_COLOR_TYPE_GRAY) setUpGrey(header, state);
  else setUpTrueColour(png, header, state.picture);
}

// Every pass of every row into state.rows, then the file's end.
void readRows(png_structp png, png_infop info, const Header& header, DecodeState& state,
              bool (*allocate)(DecodeState&)) {
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  state.rowBytes = png_get_rowbytes(png, info);
  state.channels = png_get_channels(png, info);
  state.colourType = header.colourType;
  if (!allocate(state)) png_error(png, "out of memory");
  for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
    for (png_uint_32 y = 0; y < header.height; ++y) {
      keepAliveAtRow(state.keepAlive, y);
      png_read_row(png, state.rows.data() + y * state.rowBytes, nullptr);
    }
  png_read_end(png, nullptr);
}

// Reads header, transforms and all rows. Everything with a destructor
// lives in `state`, outside this frame, so a longjmp skips none; the one
// allocation as large as the picture, the rows', happens in `allocate`,
// which reports failure rather than throwing past libpng.
bool readPng(Bytes file, DecodeState& state, bool (*allocate)(DecodeState&)) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failOnError, ignoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  MemoryInput input{file};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  ignoreChunksNotNeeded(png);
  png_set_read_fn(png, &input, readFromMemory);
  png_read_info(png, info);
  const Header header = readHeader(png, info, state.picture);
  setUpColourType(png, info, header, state);
  readRows(png, info, header, state, allocate);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool allocateRows(DecodeState& state) {
  try {
    state.rows.resize(state.rowBytes * state.picture.height);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void takePixels(DecodeState& state) {
  Picture& picture = state.picture;
  const std::size_t width = picture.width, count = picture.pixelCount();
  if (picture.isPalette()) {
    picture.pixels.resize(count);
    for (std::size_t y = 0; y < picture.height; ++y)
      std::copy_n(&state.rows[y * state.rowBytes], width, &picture.pixels[y * width]);
    return;
  }
  picture.pixels.resize(count * 3);
  const bool alpha = state.channels == 4;
  if (alpha) picture.alpha.resize(count);
  for (std::size_t y = 0; y < picture.height; ++y)
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t* p = &state.rows[y * state.rowBytes + x * state.channels];
      std::copy_n(p, 3, &picture.pixels[(y * width + x) * 3]);
      if (alpha) picture.alpha[y * width + x] = p[3];
    }
  dropEmptyAlpha(picture);
}

}  // namespace

bool decodePng(Bytes file, Picture& out, KeepAlive keepAlive) {
  if (!startsAs(IMAGE_FORMAT_PNG, file.data, file.size)) return false;
  DecodeState state;
  state.keepAlive = keepAlive;
  if (!readPng(file, state, allocateRows)) return false;
  takePixels(state);
  out = std::move(state.picture);
  return true;
}

namespace {

// What the encoder writes: the picture after the transparency rules. Rows
// are made one at a time from the held picture (it is never copied whole:
// a picture of the largest size would need its size twice over).
struct PngOutput {
  std::vector<PaletteEntry> palette;
  std::vector<std::uint8_t> paletteAlpha;
  int colourType = PNG_COLOR_TYPE_RGB, bitDepth = 8, channels = 3;
  std::size_t writtenEntries = 0;
  png_color_16 background{};
  std::uint8_t swappedIndex = 0;   // palette: the index exchanged with 0 (0: none)
  bool transparentColour = false;  // true colour: pixels of that colour get alpha 0
};

std::uint8_t outputIndex(const PngOutput& out, std::uint8_t index) {
  const std::uint8_t t = out.swappedIndex;
  return t == 0 ? index : index == 0 ? t : index == t ? 0 : index;
}

void preparePalette(const Picture& picture, PngOutput& out) {
  out.colourType = PNG_COLOR_TYPE_PALETTE;
  out.bitDepth = picture.bitsPerPixel;
  out.channels = 1;
  out.palette = picture.palette;
  out.paletteAlpha = picture.paletteAlpha;
  const int t = picture.transparentIndex;
  if (t > 0 && static_cast<std::size_t>(t) < out.palette.size()) {  // the transparent colour to 0
    std::swap(out.palette[0], out.palette[t]);
    if (!out.paletteAlpha.empty()) std::swap(out.paletteAlpha[0], out.paletteAlpha[t]);
    out.swappedIndex = static_cast<std::uint8_t>(t);
  }
  out.writtenEntries = out.palette.size();
  if (out.palette.size() > 2 && picture.pixelCount() < 65536) {
    std::uint8_t highest = 0;
    for (std::uint8_t index : picture.pixels) highest = std::max(highest, outputIndex(out, index));
    out.writtenEntries = std::min<std::size_t>(out.palette.size(), std::size_t{highest} + 1);
  }
  out.background.index = 0;
}

void prepareTrueColour(const Picture& picture, PngOutput& out) {
  out.transparentColour = picture.transparentIndex >= 0;
  if (out.transparentColour) {
    const PaletteEntry& c = picture.transparentColour;
    out.background = {0, static_cast<png_uint_16>(c.red), static_cast<png_uint_16>(c.green),
                      static_cast<png_uint_16>(c.blue), 0};
  } else {
    out.background = {0, 255, 255, 255, 0};
  }
  if (picture.alpha.empty() && !out.transparentColour) return;
  out.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  out.channels = 4;
}

// Packs one row of indices at the output depth.
void packRow(const std::uint8_t* indices, std::size_t width, int depth, std::uint8_t* row) {
  if (depth == 8) {
    std::copy_n(indices, width, row);
    return;
  }
  const int perByte = 8 / depth;
  std::fill_n(row, (width * depth + 7) / 8, 0);
  for (std::size_t x = 0; x < width; ++x)
    row[x / perByte] |= static_cast<std::uint8_t>(
        (indices[x] & ((1 << depth) - 1)) << (8 - depth * (1 + x % perByte)));
}

// Row y as the file holds it: the picture's own row where nothing changes,
// else made in `row` (indices swapped and packed, or alpha put beside the
// colours: the plane's, 255 without one, 0 for the transparent colour).
const std::uint8_t* outputRow(const Picture& picture, const PngOutput& out, std::size_t y,
                              std::vector<std::uint8_t>& indices, std::vector<std::uint8_t>& row) {
  const std::size_t width = picture.width;
  if (out.colourType == PNG_COLOR_TYPE_PALETTE) {
    for (std::size_t x = 0; x < width; ++x) indices[x] = outputIndex(out, picture.pixels[y * width + x]);
    packRow(indices.data(), width, out.bitDepth, row.data());
    return row.data();
  }
  const std::uint8_t* rgb = &picture.pixels[y * width * 3];
  if (out.channels == 3) return rgb;
  const PaletteEntry& c = picture.transparentColour;
  for (std::size_t x = 0, i = y * width; x < width; ++x, ++i) {
    const std::uint8_t* p = rgb + 3 * x;
    std::copy_n(p, 3, &row[4 * x]);
    std::uint8_t alpha = picture.alpha.empty() ? 255 : picture.alpha[i];  // × alpha maximum (255) / 255
    if (out.transparentColour && p[0] == c.red && p[1] == c.green && p[2] == c.blue) alpha = 0;
    row[4 * x + 3] = alpha;
  }
  return row.data();
}

void writeToFile(png_structp png, png_bytep bytes, png_size_t count) {
  if (!static_cast<OutputFile*>(png_get_io_ptr(png))->write(bytes, count)) png_error(png, "write failed");
}
void flushNothing(png_structp) {}  // the file is flushed when it is closed

bool writePng(const Picture& picture, const PngOutput& out, bool interlace, OutputFile& file,
              std::vector<png_color>& plte, std::vector<png_byte>& trns, KeepAlive keepAlive) {
  std::vector<std::uint8_t> indices(out.colourType == PNG_COLOR_TYPE_PALETTE ? picture.width : 0);
  std::vector<std::uint8_t> row(std::size_t{picture.width} * (out.channels == 4 ? 4 : 1));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failOnError, ignoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &file, writeToFile, flushNothing);
  png_set_IHDR(png, info, picture.width, picture.height, out.bitDepth, out.colourType,
               interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (out.colourType == PNG_COLOR_TYPE_PALETTE) {
    png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  }
  png_color_16 background = out.background;
  png_set_bKGD(png, info, &background);
  png_set_pHYs(png, info, pixelsPerMetre(picture.dpiX), pixelsPerMetre(picture.dpiY),
               PNG_RESOLUTION_METER);
  png_write_info(png, info);
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (std::size_t y = 0; y < picture.height; ++y) {
      keepAliveAtRow(keepAlive, y);
      png_write_row(png, const_cast<png_bytep>(outputRow(picture, out, y, indices, row)));
    }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool encodePng(const Picture& picture, bool interlace, OutputFile& file, KeepAlive keepAlive) {
  if (picture.pixelCount() == 0 || picture.pixels.empty()) return false;
  PngOutput out;
  if (picture.isPalette()) preparePalette(picture, out);
  else prepareTrueColour(picture, out);
  std::vector<png_color> plte;
  std::vector<png_byte> trns;
  if (out.colourType == PNG_COLOR_TYPE_PALETTE) {
    for (std::size_t i = 0; i < out.writtenEntries; ++i)
      plte.push_back({out.palette[i].red, out.palette[i].green, out.palette[i].blue});
    if (!out.paletteAlpha.empty())
      trns.assign(out.paletteAlpha.begin(), out.paletteAlpha.begin() + out.writtenEntries);
    else if (picture.transparentIndex >= 0)
      trns.push_back(0);
  }
  return writePng(picture, out, interlace, file, plte, trns, keepAlive);
}

std::optional<DeclaredSize> pngDeclaredSize(const FileHead& h, const ReadAt&) {
  if (std::memcmp(&h[12], "IHDR", 4) != 0) return std::nullopt;
  return DeclaredSize{be32(&h[16]), be32(&h[20])};
}
