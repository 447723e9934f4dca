#include "dxt_compressor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include <squish.h>

#include "colour_block.h"

namespace {

int blockBytes(DxtFormat format) { return format == DxtFormat::Dxt1 ? 8 : 16; }

// The texels of one block and which of them lie inside the picture.
struct BlockTexels {
  std::uint8_t rgba[16 * 4] = {};
  int mask = 0;
  bool operator==(const BlockTexels&) const = default;
};

BlockTexels gatherBlock(const RgbaPicture& picture, int blockX, int blockY) {
  BlockTexels block;
  for (int py = 0; py < 4; ++py)
    for (int px = 0; px < 4; ++px) {
      const int x = blockX * 4 + px, y = blockY * 4 + py;
      if (x >= picture.width || y >= picture.height) continue;
      std::memcpy(&block.rgba[4 * (4 * py + px)], &picture.rgba[4 * (static_cast<std::size_t>(y) * picture.width + x)], 4);
      block.mask |= 1 << (4 * py + px);
    }
  return block;
}

// DXT3's alpha: 4 bits a texel, rounded (a / 17, to nearest), 0 outside
// the picture.
void encodeExplicitAlpha(const BlockTexels& block, std::uint8_t* out) {
  for (int i = 0; i < 16; i += 2) {
    const int low = (block.mask >> i) & 1 ? (block.rgba[4 * i + 3] + 8) / 17 : 0;
    const int high = (block.mask >> (i + 1)) & 1 ? (block.rgba[4 * i + 7] + 8) / 17 : 0;
    out[i / 2] = static_cast<std::uint8_t>(low | (high << 4));
  }
}

void encodeBlock(const BlockTexels& block, DxtFormat format, SimdPath path, std::uint8_t* out) {
  std::uint8_t* colour = out;
  if (format == DxtFormat::Dxt3) {
    encodeExplicitAlpha(block, out);
    colour = out + 8;
  } else if (format == DxtFormat::Dxt5) {
    // libsquish's interpolated alpha; the colour half it writes is replaced.
    squish::CompressMasked(block.rgba, block.mask, out, squish::kDxt5 | squish::kColourRangeFit);
    colour = out + 8;
  }
  encodeColourBlock(block.rgba, block.mask, colour, path);
}

// One row of blocks; pixels beyond the picture's edge are masked out. The
// encoder is deterministic, so a block equal to its left neighbour (flat
// areas, gradients across the row) takes the neighbour's bytes.
void compressBlockRow(const RgbaPicture& picture, int blockY, DxtFormat format, SimdPath path,
                      std::uint8_t* target) {
  const int blocksAcross = (picture.width + 3) / 4, bytesPerBlock = blockBytes(format);
  BlockTexels previous;
  for (int blockX = 0; blockX < blocksAcross; ++blockX) {
    const BlockTexels block = gatherBlock(picture, blockX, blockY);
    std::uint8_t* out = target + static_cast<std::size_t>(blockX) * bytesPerBlock;
    if (blockX > 0 && block == previous)
      std::memcpy(out, out - bytesPerBlock, bytesPerBlock);
    else
      encodeBlock(block, format, path, out);
    previous = block;
  }
}

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> compressDxt(const RgbaPicture& picture, DxtFormat format, unsigned threads,
                                      SimdPath path) {
  const int bytesPerBlock = blockBytes(format);
  const int blocksAcross = std::max(1, (picture.width + 3) / 4);
  const int blocksDown = std::max(1, (picture.height + 3) / 4);
  const std::size_t rowBytes = static_cast<std::size_t>(blocksAcross) * bytesPerBlock;
  std::vector<std::uint8_t> blocks(rowBytes * blocksDown, 0);
  threads = std::clamp(threads, 1u, static_cast<unsigned>(blocksDown));
  // Rows are handed out one at a time: rows differ in cost (a flat row is
  // cheap for the cluster fit), so a fixed split leaves a core idle.
  std::atomic<int> nextRow{0};
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      for (int row = nextRow++; row < blocksDown; row = nextRow++)
        compressBlockRow(picture, row, format, path, blocks.data() + row * rowBytes);
    });
  for (std::thread& worker : workers) worker.join();
  return blocks;
}

std::vector<std::uint8_t> ddsHeader(int width, int height, DxtFormat format) {
  std::vector<std::uint8_t> header(128, 0);
  std::memcpy(header.data(), "DDS ", 4);
  putLe32(header, 4, 124);                  // header size
  putLe32(header, 8, 0x00081007);           // CAPS | HEIGHT | WIDTH | PIXELFORMAT | LINEARSIZE
  putLe32(header, 12, static_cast<std::uint32_t>(height));
  putLe32(header, 16, static_cast<std::uint32_t>(width));
  const std::uint32_t linearSize = static_cast<std::uint32_t>(std::max(1, (width + 3) / 4)) *
                                   std::max(1, (height + 3) / 4) * blockBytes(format);
  putLe32(header, 20, linearSize);
  putLe32(header, 24, 0);                   // depth
  putLe32(header, 28, 1);                   // one level (some readers fail on 0)
  putLe32(header, 76, 32);                  // pixel format size
  putLe32(header, 80, 0x4);                 // DDPF_FOURCC
  const char* fourCc = format == DxtFormat::Dxt1 ? "DXT1" : format == DxtFormat::Dxt5 ? "DXT5" : "DXT3";
  std::memcpy(&header[84], fourCc, 4);
  putLe32(header, 108, 0x1000);             // DDSCAPS_TEXTURE
  return header;
}
