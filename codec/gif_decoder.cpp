// GIF 87a and 89a: the first picture of the file, interlaced or not, with
// its transparent colour, placed on the logical screen.
#include <algorithm>
#include <cstring>
#include <new>

#include "byte_reader.h"
#include "decoders.h"
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

// LZW decoding of the image data into `count` indices. True when every
// pixel was produced.
bool decodeLzw(const std::vector<std::uint8_t>& data, int minimumCodeSize,
               std::vector<std::uint8_t>& indices, std::size_t count, KeepAlive keepAlive) {
  if (minimumCodeSize < 2 || minimumCodeSize > 8) return false;
  const int clear = 1 << minimumCodeSize, end = clear + 1;
  std::vector<std::uint16_t> prefix(4096);
  std::vector<std::uint8_t> suffix(4096), stack(4097);
  for (int i = 0; i < clear; ++i) suffix[i] = static_cast<std::uint8_t>(i);
  int codeSize = minimumCodeSize + 1, next = clear + 2, previous = -1;
  std::uint8_t first = 0;
  std::uint32_t buffer = 0;
  int bufferedBits = 0;
  std::size_t at = 0;
  indices.clear();
  indices.reserve(count);
  for (std::size_t codes = 0; indices.size() < count; ++codes) {
    if (keepAlive && codes % 65536 == 65535) keepAlive();  // about as often as every 16 rows
    while (bufferedBits < codeSize) {
      if (at >= data.size()) return false;
      buffer |= std::uint32_t{data[at++]} << bufferedBits;
      bufferedBits += 8;
    }
    const int code = static_cast<int>(buffer & ((1u << codeSize) - 1));
    buffer >>= codeSize;
    bufferedBits -= codeSize;
    if (code == clear) {
      codeSize = minimumCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return false;  // ended before every pixel came
    int top = 0, walk = code;
    if (previous < 0) {
      if (code >= clear) return false;
      first = static_cast<std::uint8_t>(code);
      indices.push_back(first);
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= 4096)) return false;
    if (code == next) {  // the code being defined: previous string + its first byte
      stack[top++] = first;
      walk = previous;
    }
    while (walk >= clear) {
      if (top >= 4096) return false;
      stack[top++] = suffix[walk];
      walk = prefix[walk];
    }
    first = static_cast<std::uint8_t>(walk);
    stack[top++] = first;
    while (top > 0 && indices.size() < count) indices.push_back(stack[--top]);
    if (next < 4096) {
      prefix[next] = static_cast<std::uint16_t>(previous);
      suffix[next] = first;
      ++next;
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    previous = code;
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

}  // namespace

bool decodeGif(Bytes bytes, Picture& out, KeepAlive keepAlive) {
  const ByteReader file(bytes);
  if (!file.has(0, 13) || (std::memcmp(file.at(0), "GIF87a", 6) && std::memcmp(file.at(0), "GIF89a", 6)))
    return false;
  std::uint32_t screenWidth = file.u16(6), screenHeight = file.u16(8);
  const std::uint8_t flags = file.u8(10), background = file.u8(11);
  std::size_t at = 13;
  std::vector<PaletteEntry> global;
  if (flags & 0x80) {
    const std::size_t count = std::size_t{2} << (flags & 7);
    if (!file.has(at, 3 * count)) return false;
    global = readColourTable(file, at, count);
    at += 3 * count;
  }
  int transparent = -1;
  while (true) {
    if (!file.has(at, 1)) return false;
    const std::uint8_t block = file.u8(at++);
    if (block == 0x3B) return false;  // trailer before any picture
    if (block == 0x21) {              // extension
      if (!file.has(at, 1)) return false;
      const std::uint8_t label = file.u8(at++);
      if (label == 0xF9 && file.has(at, 5) && file.u8(at) >= 4) {
        transparent = (file.u8(at + 1) & 1) ? file.u8(at + 4) : -1;
      }
      if (!readSubBlocks(file, at, nullptr)) return false;
      continue;
    }
    if (block != 0x2C || !file.has(at, 9)) return false;
    const std::uint32_t left = file.u16(at), top = file.u16(at + 2);
    const std::uint32_t width = file.u16(at + 4), height = file.u16(at + 6);
    const std::uint8_t imageFlags = file.u8(at + 8);
    at += 9;
    std::vector<PaletteEntry> table = global;
    if (imageFlags & 0x80) {
      const std::size_t count = std::size_t{2} << (imageFlags & 7);
      if (!file.has(at, 3 * count)) return false;
      table = readColourTable(file, at, count);
      at += 3 * count;
    }
    if (table.empty() || !acceptableSize(width, height) || !file.has(at, 1)) return false;
    const int minimumCodeSize = file.u8(at++);
    std::vector<std::uint8_t> data, indices;
    if (!readSubBlocks(file, at, &data)) return false;
    if (!decodeLzw(data, minimumCodeSize, indices, std::size_t{width} * height, keepAlive)) return false;

    // The logical screen when the picture fits on it, else the picture.
    if (screenWidth < left + width || screenHeight < top + height || !acceptableSize(screenWidth, screenHeight)) {
      screenWidth = width;
      screenHeight = height;
    }
    const std::uint32_t offsetX = screenWidth == width ? 0 : left;
    const std::uint32_t offsetY = screenHeight == height ? 0 : top;
    Picture picture;
    picture.width = screenWidth;
    picture.height = screenHeight;
    setPalette(picture, table.size() <= 2 ? 1 : table.size() <= 16 ? 4 : 8, table);
    const std::uint8_t fill = transparent >= 0 ? static_cast<std::uint8_t>(transparent) : background;
    picture.pixels.assign(picture.pixelCount(), fill);
    const std::vector<std::uint32_t> rows = rowOrder(height, (imageFlags & 0x40) != 0);
    for (std::uint32_t stored = 0; stored < height; ++stored)
      std::copy_n(indices.begin() + std::size_t{stored} * width, width,
                  picture.pixels.begin() + (std::size_t{rows[stored]} + offsetY) * screenWidth + offsetX);
    if (transparent >= 0 && static_cast<std::size_t>(transparent) < picture.palette.size()) {
      picture.transparentIndex = transparent;
      picture.transparentColour = picture.palette[transparent];
    }
    out = std::move(picture);
    return true;
  }
}
