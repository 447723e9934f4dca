// GIF 87a and 89a: the first picture of the file, interlaced or not, with
// its transparent colour, placed on the logical screen.
#include <algorithm>
#include <cstring>
#include <new>

#include "byte_reader.h"
#include "decoders.h"
#include "signatures.h"
#include "size_limits.h"

namespace {

std::vector<PaletteEntry> readColourTable(const ByteReader& file, std::size_t at, std::size_t count) {
  std::vector<PaletteEntry> table(count);
  for (std::size_t i = 0; i < count; ++i)
    table[i] = {file.u8(at + 3 * i + 2), file.u8(at + 3 * i + 1), file.u8(at + 3 * i), 0};
  return table;
}

// The image's data sub-blocks joined, starting at `at`; `at` ends after
// the block terminator. False when the file ends first.
bool readSubBlocks(const ByteReader& file, std::size_t& at, std::vector<std::uint8_t>* data) {
  while (true) {
    if (!file.has(at, 1)) return false;
    const std::size_t length = file.u8(at++);
    if (length == 0) return true;
    if (!file.has(at, length)) return false;
    if (data) data->insert(data->end(), file.at(at), file.at(at) + length);
    at += length;
  }
}

// The image data as codes of the current width, least significant bit
// first.
class CodeReader {
 public:
  explicit CodeReader(const std::vector<std::uint8_t>& data) : data_(data) {}
  // False when the data ends first.
  bool next(int width, int& code) {
    while (bufferedBits_ < width) {
      if (at_ >= data_.size()) return false;
      buffer_ |= std::uint32_t{data_[at_++]} << bufferedBits_;
      bufferedBits_ += 8;
    }
    code = static_cast<int>(buffer_ & ((1u << width) - 1));
    buffer_ >>= width;
    bufferedBits_ -= width;
    return true;
  }

 private:
  const std::vector<std::uint8_t>& data_;
  std::size_t at_ = 0;
  std::uint32_t buffer_ = 0;
  int bufferedBits_ = 0;
};

// The string table: the codes below the clear code stand for themselves;
// each later code is an earlier string plus one byte. At most 4096 codes
// of up to 12 bits.
class LzwDictionary {
 public:
  explicit LzwDictionary(int minimumCodeSize)
      : minimumCodeSize_(minimumCodeSize), clear_(1 << minimumCodeSize), prefix_(kCodes), suffix_(kCodes),
        stack_(kCodes + 1) {
    for (int i = 0; i < clear_; ++i) suffix_[i] = static_cast<std::uint8_t>(i);
    reset();
  }
  int clearCode() const { return clear_; }
  int endCode() const { return clear_ + 1; }
  int codeSize() const { return codeSize_; }
  void reset() {
    codeSize_ = minimumCodeSize_ + 1;
    next_ = clear_ + 2;
    previous_ = -1;
  }
  // Appends the string of `code` to the indices (no more than `count` in
  // all) and defines the next code; false for a code that cannot stand here.
  bool expand(int code, std::vector<std::uint8_t>& indices, std::size_t count) {
    if (previous_ < 0) return startAfterClear(code, indices);
    if (code > next_ || (code == next_ && next_ >= kCodes)) return false;
    int top = 0, walk = code;
    if (code == next_) {  // the code being defined: previous string + its first byte
      stack_[top++] = first_;
      walk = previous_;
    }
    while (walk >= clear_) {
      if (top >= kCodes) return false;
      stack_[top++] = suffix_[walk];
      walk = prefix_[walk];
    }
    first_ = static_cast<std::uint8_t>(walk);
    stack_[top++] = first_;
    while (top > 0 && indices.size() < count) indices.push_back(stack_[--top]);
    define(code);
    return true;
  }

 private:
  static constexpr int kCodes = 4096;
  // The first code after a clear is a single index.
  bool startAfterClear(int code, std::vector<std::uint8_t>& indices) {
    if (code >= clear_) return false;
    first_ = static_cast<std::uint8_t>(code);
    indices.push_back(first_);
    previous_ = code;
    return true;
  }
  void define(int code) {
    if (next_ < kCodes) {
      prefix_[next_] = static_cast<std::uint16_t>(previous_);
      suffix_[next_] = first_;
      ++next_;
      if (next_ == (1 << codeSize_) && codeSize_ < 12) ++codeSize_;
    }
    previous_ = code;
  }
  const int minimumCodeSize_, clear_;
  int codeSize_ = 0, next_ = 0, previous_ = -1;
  std::uint8_t first_ = 0;
  std::vector<std::uint16_t> prefix_;
  std::vector<std::uint8_t> suffix_, stack_;
};

// LZW decoding of the image data into `count` indices. True when every
// pixel was produced.
bool decodeLzw(const std::vector<std::uint8_t>& data, int minimumCodeSize,
               std::vector<std::uint8_t>& indices, std::size_t count, KeepAlive keepAlive) {
  if (minimumCodeSize < 2 || minimumCodeSize > 8) return false;
  LzwDictionary dictionary(minimumCodeSize);
  CodeReader codes(data);
  indices.clear();
  indices.reserve(count);
  for (std::size_t read = 0; indices.size() < count; ++read) {
    if (keepAlive && read % 65536 == 65535) keepAlive();  // about as often as every 16 rows
    int code = 0;
    if (!codes.next(dictionary.codeSize(), code)) return false;
    if (code == dictionary.clearCode()) {
      dictionary.reset();
      continue;
    }
    if (code == dictionary.endCode()) return false;  // ended before every pixel came
    if (!dictionary.expand(code, indices, count)) return false;
  }
  return true;
}

// Row order of an interlaced image: passes of every 8th row from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<std::uint32_t> rowOrder(std::uint32_t height, bool interlaced) {
  std::vector<std::uint32_t> order;
  order.reserve(height);
  if (!interlaced) {
    for (std::uint32_t y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const std::uint32_t starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (std::uint32_t y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  return order;
}

// The logical screen: its size, background index and global colour table.
struct Screen {
  std::uint32_t width = 0, height = 0;
  std::uint8_t background = 0;
  std::vector<PaletteEntry> globalTable;
};

// The first image: where it stands, its colour table and its coded data.
struct Image {
  std::uint32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::vector<PaletteEntry> table;
  int minimumCodeSize = 0;
  std::vector<std::uint8_t> data;
};

// A colour table of 2 << (flags & 7) entries at `at` when the flags say
// there is one; `at` ends after it.
bool readTableIfPresent(const ByteReader& file, std::size_t& at, std::uint8_t flags,
                        std::vector<PaletteEntry>& table) {
  if (!(flags & 0x80)) return true;
  const std::size_t count = std::size_t{2} << (flags & 7);
  if (!file.has(at, 3 * count)) return false;
  table = readColourTable(file, at, count);
  at += 3 * count;
  return true;
}

// The header and logical screen descriptor with the global table. Of the
// files the signature shows, the versions 87a and 89a.
bool readScreen(const ByteReader& file, std::size_t& at, Screen& screen) {
  if (!file.has(0, 13) || !startsAs(IMAGE_FORMAT_GIF, file.at(0), file.size()) ||
      (std::memcmp(file.at(4), "7a", 2) && std::memcmp(file.at(4), "9a", 2)))
    return false;
  screen.width = file.u16(6);
  screen.height = file.u16(8);
  screen.background = file.u8(11);
  at = 13;
  return readTableIfPresent(file, at, file.u8(10), screen.globalTable);
}

// Skips the extensions before the first image descriptor, taking the
// transparent index from a graphic control extension; `at` ends after the
// descriptor's separator. False at the trailer or the file's end.
bool skipToFirstImage(const ByteReader& file, std::size_t& at, int& transparent) {
  while (true) {
    if (!file.has(at, 1)) return false;
    const std::uint8_t block = file.u8(at++);
    if (block != 0x21) return block == 0x2C;  // an image, or the trailer (0x3B) or garbage
    if (!file.has(at, 1)) return false;
    const std::uint8_t label = file.u8(at++);
    if (label == 0xF9 && file.has(at, 5) && file.u8(at) >= 4)
      transparent = (file.u8(at + 1) & 1) ? file.u8(at + 4) : -1;
    if (!readSubBlocks(file, at, nullptr)) return false;
  }
}

// The image descriptor, its table (else the global one) and its data.
bool readImage(const ByteReader& file, std::size_t& at, const Screen& screen, Image& image) {
  if (!file.has(at, 9)) return false;
  image.left = file.u16(at);
  image.top = file.u16(at + 2);
  image.width = file.u16(at + 4);
  image.height = file.u16(at + 6);
  const std::uint8_t flags = file.u8(at + 8);
  image.interlaced = (flags & 0x40) != 0;
  at += 9;
  image.table = screen.globalTable;
  if (!readTableIfPresent(file, at, flags, image.table)) return false;
  if (image.table.empty() || !acceptableSize(image.width, image.height) || !file.has(at, 1)) return false;
  image.minimumCodeSize = file.u8(at++);
  return readSubBlocks(file, at, &image.data);
}

// The image's indices on the logical screen when the image fits on it,
// else the image alone; the rest filled with the transparent index, or the
// background without one.
Picture placeOnScreen(const Screen& screen, const Image& image, const std::vector<std::uint8_t>& indices,
                      int transparent) {
  std::uint32_t screenWidth = screen.width, screenHeight = screen.height;
  if (screenWidth < image.left + image.width || screenHeight < image.top + image.height ||
      !acceptableSize(screenWidth, screenHeight)) {
    screenWidth = image.width;
    screenHeight = image.height;
  }
  const std::uint32_t offsetX = screenWidth == image.width ? 0 : image.left;
  const std::uint32_t offsetY = screenHeight == image.height ? 0 : image.top;
  Picture picture;
  picture.width = screenWidth;
  picture.height = screenHeight;
  const std::size_t colours = image.table.size();
  setPalette(picture, colours <= 2 ? 1 : colours <= 16 ? 4 : 8, image.table);
  const std::uint8_t fill = transparent >= 0 ? static_cast<std::uint8_t>(transparent) : screen.background;
  picture.pixels.assign(picture.pixelCount(), fill);
  const std::vector<std::uint32_t> rows = rowOrder(image.height, image.interlaced);
  for (std::uint32_t stored = 0; stored < image.height; ++stored)
    std::copy_n(indices.begin() + std::size_t{stored} * image.width, image.width,
                picture.pixels.begin() + (std::size_t{rows[stored]} + offsetY) * screenWidth + offsetX);
  if (transparent >= 0 && static_cast<std::size_t>(transparent) < picture.palette.size()) {
    picture.transparentIndex = transparent;
    picture.transparentColour = picture.palette[transparent];
  }
  return picture;
}

}  // namespace

bool decodeGif(Bytes bytes, Picture& out, KeepAlive keepAlive) {
  const ByteReader file(bytes);
  std::size_t at = 0;
  Screen screen;
  int transparent = -1;
  Image image;
  if (!readScreen(file, at, screen) || !skipToFirstImage(file, at, transparent) || !readImage(file, at, screen, image))
    return false;
  std::vector<std::uint8_t> indices;
  if (!decodeLzw(image.data, image.minimumCodeSize, indices, std::size_t{image.width} * image.height, keepAlive))
    return false;
  out = placeOnScreen(screen, image, indices, transparent);
  return true;
}

// The decoder takes the first image's size (the logical screen only when
// the image fits on it): the image descriptor after the screen's colour
// table and any extensions.
std::optional<DeclaredSize> gifDeclaredSize(const FileHead& h, const ReadAt& readAt) {
  std::uint64_t at = 13 + ((h[10] & 0x80) ? 3u << ((h[10] & 7) + 1) : 0);
  for (int blocks = 0; blocks < 4096; ++blocks) {
    std::uint8_t b[10];
    if (!readAt(at, 1, b)) return std::nullopt;
    if (b[0] == 0x2C) {
      if (!readAt(at, 10, b)) return std::nullopt;
      return DeclaredSize{le16(&b[5]), le16(&b[7])};
    }
    if (b[0] != 0x21 || !readAt(at, 2, b)) return std::nullopt;
    at += 2;  // introducer and label, then sub-blocks until one of length 0
    for (std::uint8_t length = 1; length != 0; at += length + 1u) {
      if (!readAt(at, 1, &length) || ++blocks >= 4096) return std::nullopt;
    }
  }
  return std::nullopt;
}
