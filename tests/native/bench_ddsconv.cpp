// bench_ddsconv [--ddsconv-only] [--photos N] <png>...: RGB PSNR (decoded
// with libsquish, over all pixels; and under a decoder that rounds the
// middle colours) and megapixels per second of ddsconv's compressor (its
// widest SIMD path, and its SSE2 path where that is another),
// libsquish's iterative cluster fit and cluster fit (built without OpenMP)
// and stb_dxt's high-quality mode, each on one core and on all cores (rows
// of blocks handed out to threads). The first N pictures are the
// photographs: their averages and the ratios to libsquish's iterative fit
// on one core are printed at the end. --ddsconv-only: ddsconv's rows alone
// (a second compiler's build). For a picture whose every block has at most
// four colours (the diagonal gradient), also the best blocks there are,
// found by exhaustive search: no encoder can score above them.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <squish.h>
#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>

#include "block_texels.h"
#include "dxt_compressor.h"
#include "dxt_quality.h"
#include "endpoint_fit.h"
#include "png_input.h"

namespace {

using Blocks = std::vector<std::uint8_t>;
using Encoder = std::function<Blocks(const RgbaPicture&, unsigned threads)>;

// Rows of blocks handed out one at a time to `threads` threads.
Blocks byRows(const RgbaPicture& p, unsigned threads, int bytesPerBlock,
              const std::function<void(const std::uint8_t* rgba, int mask, std::uint8_t* out)>& encode) {
  const int across = (p.width + 3) / 4, down = (p.height + 3) / 4;
  Blocks blocks(std::size_t(across) * down * bytesPerBlock);
  std::atomic<int> next{0};
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t)
    workers.emplace_back([&] {
      for (int by = next++; by < down; by = next++)
        for (int bx = 0; bx < across; ++bx) {
          std::uint8_t rgba[64] = {};
          int mask = 0;
          for (int i = 0; i < 16; ++i) {
            const int x = 4 * bx + i % 4, y = 4 * by + i / 4;
            if (x >= p.width || y >= p.height) continue;
            std::memcpy(rgba + 4 * i, &p.rgba[4 * (std::size_t(y) * p.width + x)], 4);
            mask |= 1 << i;
          }
          encode(rgba, mask, &blocks[(std::size_t(by) * across + bx) * bytesPerBlock]);
        }
    });
  for (std::thread& worker : workers) worker.join();
  return blocks;
}

Blocks squishBlocks(const RgbaPicture& p, unsigned threads, int fit) {
  return byRows(p, threads, 16, [fit](const std::uint8_t* rgba, int mask, std::uint8_t* out) {
    squish::CompressMasked(rgba, mask, out, squish::kDxt3 | fit);
  });
}

// stb_dxt writes colour blocks only; texels outside repeat the edge.
Blocks stbBlocks(const RgbaPicture& p, unsigned threads) {
  return byRows(p, threads, 8, [](const std::uint8_t* rgba, int mask, std::uint8_t* out) {
    unsigned char texels[64];
    for (int i = 0; i < 16; ++i) {
      int source = i;
      while (!(mask & (1 << source)) && source > 0) --source;
      std::memcpy(texels + 4 * i, rgba + 4 * source, 4);
    }
    stb_compress_dxt_block(out, texels, 0, STB_DXT_HIGHQUAL);
  });
}

// The colour halves decoded with the middle colours rounded,
// (2a + b + 1) / 3, as some decoders do: a gain that holds only under the
// reference decoder's truncation is an artefact of it.
double roundingRgbPsnr(const RgbaPicture& p, const Blocks& blocks, int bytesPerBlock) {
  const int across = (p.width + 3) / 4, down = (p.height + 3) / 4;
  double squared = 0;
  for (int by = 0; by < down; ++by)
    for (int bx = 0; bx < across; ++bx) {
      const std::uint8_t* colour = &blocks[(std::size_t(by) * across + bx) * bytesPerBlock + bytesPerBlock - 8];
      const int codes[2] = {colour[0] | colour[1] << 8, colour[2] | colour[3] << 8};
      int palette[4][3];
      for (int e = 0; e < 2; ++e) {
        const int r = codes[e] >> 11, g = (codes[e] >> 5) & 63, b = codes[e] & 31;
        palette[e][0] = r << 3 | r >> 2, palette[e][1] = g << 2 | g >> 4, palette[e][2] = b << 3 | b >> 2;
      }
      const bool fourColours = bytesPerBlock == 16 || codes[0] > codes[1];
      for (int c = 0; c < 3; ++c) {
        const int a = palette[0][c], b = palette[1][c];
        palette[2][c] = fourColours ? (2 * a + b + 1) / 3 : (a + b + 1) / 2;
        palette[3][c] = fourColours ? (a + 2 * b + 1) / 3 : 0;
      }
      for (int i = 0; i < 16; ++i) {
        const int x = 4 * bx + i % 4, y = 4 * by + i / 4;
        if (x >= p.width || y >= p.height) continue;
        const int selector = (colour[4 + i / 4] >> (2 * (i % 4))) & 3;
        for (int c = 0; c < 3; ++c)
          squared += std::pow(double(palette[selector][c]) - p.rgba[4 * (std::size_t(y) * p.width + x) + c], 2);
      }
    }
  const double mse = squared / (double(p.width) * p.height * 3);
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The best colour block for texels of at most four distinct colours under
// the reference decoder: every assignment of the colours to the four
// palette entries; for a fixed assignment each channel's error depends on
// that channel's two codes alone, so each channel's best pair is searched
// on its own. A pair is skipped when an entry in use lies farther from the
// channel's values than the square root of the best error yet: that entry
// alone would cost more. Far endpoints do win (a middle entry exactly on
// the value), so every code is a candidate. False for a block of more
// colours.

// A channel's values under one assignment: their range and sum of squares.
struct ChannelValues {
  int low = 255, high = 0, squares = 0;
};

// The codes whose expansions lie in [low, high], as a range of codes.
void codesWithin(int low, int high, int bits, int& from, int& to) {
  const int max = (1 << bits) - 1;
  from = 0, to = max;
  while (from <= max && colour::expandCode(from, bits) < low) ++from;
  while (to >= 0 && colour::expandCode(to, bits) > high) --to;
}

long bestChannelPair(const colour::SelectorGroups& g, int c, const ChannelValues& v, int& bestA, int& bestB) {
  const int bits = colour::kBits[c];
  long best = -1;
  auto tryPair = [&](int a, int b) {
    const long cost = v.squares + colour::channelCost(g, c, a, b);
    if (best < 0 || cost < best) best = cost, bestA = a, bestB = b;
  };
  // A first bound from the codes nearest the values.
  int from, to;
  codesWithin(v.low - 16, v.high + 16, bits, from, to);
  for (int a = from; a <= to; ++a)
    for (int b = from; b <= to; ++b) tryPair(a, b);
  const int reach = static_cast<int>(std::sqrt(double(best))), low = v.low - reach, high = v.high + reach;
  for (int a = 0; a <= colour::kMaxCode[c]; ++a) {
    const int ea = colour::expandCode(a, bits);
    if (g.count[0] && (ea < low || ea > high)) continue;
    // The expansions of b that keep entries 1, 2 and 3, where in use, in reach.
    int lowB = 0, highB = 255;
    if (g.count[1]) lowB = std::max(lowB, low), highB = std::min(highB, high);
    if (g.count[2]) lowB = std::max(lowB, 3 * low - 2 * ea), highB = std::min(highB, 3 * high + 2 - 2 * ea);
    if (g.count[3]) lowB = std::max(lowB, (3 * low - ea + 1) / 2), highB = std::min(highB, (3 * high + 2 - ea) / 2);
    int fromB, toB;
    codesWithin(lowB, highB, bits, fromB, toB);
    for (int b = fromB; b <= toB; ++b) tryPair(a, b);
  }
  return best;
}

bool optimumColourBlock(const std::uint8_t* rgba, int mask, std::uint8_t* out) {
  int colours[16][3], weight[16] = {}, distinct = 0;
  for (int i = 0; i < 16; ++i) {
    if (!(mask & (1 << i))) continue;
    int j = 0;
    while (j < distinct && !std::equal(colours[j], colours[j] + 3, rgba + 4 * i)) ++j;
    if (j == 4) return false;
    if (j == distinct) std::copy_n(rgba + 4 * i, 3, colours[distinct++]);
    ++weight[j];
  }
  long bestError = -1;
  colour::Endpoints best{};
  for (int assignment = 0; assignment < (1 << (2 * distinct)); ++assignment) {
    colour::SelectorGroups g;
    ChannelValues values[3];
    for (int j = 0; j < distinct; ++j) {
      const int entry = (assignment >> (2 * j)) & 3;
      g.count[entry] += weight[j];
      for (int c = 0; c < 3; ++c) {
        const int x = colours[j][c];
        g.sum[entry][c] += weight[j] * x, values[c].squares += weight[j] * x * x;
        values[c].low = std::min(values[c].low, x), values[c].high = std::max(values[c].high, x);
      }
    }
    long error = 0;
    colour::Endpoints e;
    for (int c = 0; c < 3; ++c) error += bestChannelPair(g, c, values[c], e.a[c], e.b[c]);
    if (bestError < 0 || error < bestError) bestError = error, best = e;
  }
  // The block: alpha opaque, the codes with colour 0 above colour 1 (the
  // 4-colour order), each texel on its nearest entry.
  if (colour::pack565(best.a) < colour::pack565(best.b)) std::swap(best.a, best.b);
  const std::uint16_t packed[2] = {colour::pack565(best.a), colour::pack565(best.b)};
  int palette[4][3];
  colour::palette(best, palette);
  std::memset(out, 0xFF, 8);
  out[8] = std::uint8_t(packed[0]), out[9] = std::uint8_t(packed[0] >> 8);
  out[10] = std::uint8_t(packed[1]), out[11] = std::uint8_t(packed[1] >> 8);
  std::uint32_t selectors = 0;
  for (int i = 0; i < 16 && packed[0] != packed[1]; ++i) {
    int nearest = 0, nearestDistance = 1 << 30;
    for (int k = 0; k < 4; ++k) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) distance += (palette[k][c] - rgba[4 * i + c]) * (palette[k][c] - rgba[4 * i + c]);
      if (distance < nearestDistance) nearest = k, nearestDistance = distance;
    }
    selectors |= std::uint32_t(nearest) << (2 * i);
  }
  for (int i = 0; i < 4; ++i) out[12 + i] = std::uint8_t(selectors >> (8 * i));
  return true;
}

// The optimum's blocks, or none when a block has more than four colours.
Blocks optimumBlocks(const RgbaPicture& p, unsigned threads) {
  std::atomic<bool> few{true};
  Blocks blocks = byRows(p, threads, 16, [&few](const std::uint8_t* rgba, int mask, std::uint8_t* out) {
    if (few && !optimumColourBlock(rgba, mask, out)) few = false;
  });
  return few ? blocks : Blocks{};
}

struct EncoderInfo {
  const char* name;
  Encoder encode;
  int squishFlags;  // how its blocks are decoded
  int runs;         // best of these many runs
};

struct Figure {
  double psnr = 0, rounded = 0, mpsOne = 0, mpsAll = 0;
};

Encoder ddsconvOn(SimdPath path) {
  return [path](const RgbaPicture& p, unsigned t) { return compressDxt(p, DxtFormat::Dxt3, t, path); };
}

template <typename F>
double bestSeconds(int runs, F&& work) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int photos = 0, first = 1;
  const bool ddsconvOnly = argc > first && !std::strcmp(argv[first], "--ddsconv-only");
  first += ddsconvOnly;
  if (argc > first + 1 && !std::strcmp(argv[first], "--photos")) photos = std::atoi(argv[first + 1]), first += 2;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<EncoderInfo> encoders = {{"ddsconv", ddsconvOn(widestSimdPath()), squish::kDxt3, 3}};
  if (widestSimdPath() != SimdPath::Sse2) encoders.push_back({"ddsconv, SSE2 path", ddsconvOn(SimdPath::Sse2), squish::kDxt3, 3});
  const std::size_t iterative = encoders.size();  // the yardstick of the ratios
  if (!ddsconvOnly)
    encoders.insert(encoders.end(), {
      {"libsquish iterative cluster fit", [](const RgbaPicture& p, unsigned t) { return squishBlocks(p, t, squish::kColourIterativeClusterFit); },
       squish::kDxt3, 2},
      {"libsquish cluster fit", [](const RgbaPicture& p, unsigned t) { return squishBlocks(p, t, squish::kColourClusterFit); },
       squish::kDxt3, 2},
      {"stb_dxt high quality", stbBlocks, squish::kDxt1, 3},
    });
  std::printf("%u cores. PSNR in dB (and with rounded middle colours); speed in megapixels per second on 1 core / on %u cores.\n\n",
              cores, cores);
  std::printf("%-22s %-32s %8s %8s %9s %9s\n", "picture", "encoder", "PSNR", "rounded", "1 core", "all");
  std::vector<std::vector<Figure>> figures(encoders.size());
  std::vector<double> megapixels;
  for (int i = first; i < argc; ++i) {
    RgbaPicture picture;
    std::string reason;
    if (!readPngRgba(argv[i], picture, reason)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], reason.c_str());
      return 1;
    }
    const double mp = picture.width * double(picture.height) / 1e6;
    megapixels.push_back(mp);
    const char* slash = std::strrchr(argv[i], '/');
    const std::string name = slash ? slash + 1 : argv[i];
    for (std::size_t e = 0; e < encoders.size(); ++e) {
      Blocks blocks;
      Figure f;
      f.mpsOne = mp / bestSeconds(encoders[e].runs, [&] { blocks = encoders[e].encode(picture, 1); });
      f.psnr = dxtRgbPsnr(picture, blocks.data(), encoders[e].squishFlags);
      f.rounded = roundingRgbPsnr(picture, blocks, encoders[e].squishFlags == squish::kDxt1 ? 8 : 16);
      f.mpsAll = mp / bestSeconds(encoders[e].runs, [&] { blocks = encoders[e].encode(picture, cores); });
      figures[e].push_back(f);
      std::printf("%-22s %-32s %8.3f %8.3f %9.2f %9.2f\n", e ? "" : name.c_str(), encoders[e].name, f.psnr, f.rounded,
                  f.mpsOne, f.mpsAll);
    }
    if (const Blocks optimum = optimumBlocks(picture, cores); !optimum.empty())
      std::printf("%-22s %-32s %8.3f %8.3f\n", "", "best possible (exhaustive)", dxtRgbPsnr(picture, optimum.data(), squish::kDxt3),
                  roundingRgbPsnr(picture, optimum, 16));
  }
  if (photos <= 0) return 0;
  // Over the photographs: mean PSNR, and speed as all their pixels over all
  // their time (each photograph weighs by its size).
  auto overall = [&](std::size_t e, bool all) {
    double pixels = 0, seconds = 0;
    for (int k = 0; k < photos; ++k) {
      pixels += megapixels[k];
      seconds += megapixels[k] / (all ? figures[e][k].mpsAll : figures[e][k].mpsOne);
    }
    return pixels / seconds;
  };
  auto meanPsnr = [&](std::size_t e) {
    double psnr = 0;
    for (int k = 0; k < photos; ++k) psnr += figures[e][k].psnr / photos;
    return psnr;
  };
  if (ddsconvOnly) {
    std::printf("\nphotographs (%d): mean PSNR and overall speed\n%-32s %8s %9s %9s\n", photos, "encoder", "PSNR",
                "1 core", "all");
    for (std::size_t e = 0; e < encoders.size(); ++e)
      std::printf("%-32s %8.3f %9.2f %9.2f\n", encoders[e].name, meanPsnr(e), overall(e, false), overall(e, true));
    return 0;
  }
  std::printf("\nphotographs (%d): mean PSNR, overall speed, and against libsquish's iterative fit on 1 core\n", photos);
  std::printf("%-32s %8s %9s %9s %10s %10s %10s %9s\n", "encoder", "PSNR", "1 core", "all", "dB", "x 1 core", "x all",
              "min dB");
  const double baseOne = overall(iterative, false), basePsnr = meanPsnr(iterative);
  for (std::size_t e = 0; e < encoders.size(); ++e) {
    double worst = 1e9;
    for (int k = 0; k < photos; ++k) worst = std::min(worst, figures[e][k].psnr - figures[iterative][k].psnr);
    std::printf("%-32s %8.3f %9.2f %9.2f %+10.3f %10.2f %10.2f %+9.3f\n", encoders[e].name, meanPsnr(e), overall(e, false),
                overall(e, true), meanPsnr(e) - basePsnr, overall(e, false) / baseOne, overall(e, true) / baseOne, worst);
  }
  return 0;
}
