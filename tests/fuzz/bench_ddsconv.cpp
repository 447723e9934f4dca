// bench_ddsconv [--photos N] <png>...: RGB PSNR (decoded with libsquish,
// over all pixels) and megapixels per second of ddsconv's compressor,
// libsquish's iterative cluster fit and cluster fit (built without OpenMP)
// and stb_dxt's high-quality mode, each on one core and on all cores (rows
// of blocks handed out to threads). The first N pictures are the
// photographs: their averages and the ratios to libsquish's iterative fit
// on one core are printed at the end.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <squish.h>
#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>

#include "dxt_compressor.h"
#include "dxt_quality.h"
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

struct EncoderInfo {
  const char* name;
  Encoder encode;
  int squishFlags;  // how its blocks are decoded
  int runs;         // best of these many runs
};

struct Figure {
  double psnr = 0, mpsOne = 0, mpsAll = 0;
};

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
  if (argc > 2 && !std::strcmp(argv[1], "--photos")) photos = std::atoi(argv[2]), first = 3;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::vector<EncoderInfo> encoders = {
      {"ddsconv", [](const RgbaPicture& p, unsigned t) { return compressDxt(p, DxtFormat::Dxt3, t); }, squish::kDxt3, 3},
      {"libsquish iterative cluster fit", [](const RgbaPicture& p, unsigned t) { return squishBlocks(p, t, squish::kColourIterativeClusterFit); },
       squish::kDxt3, 2},
      {"libsquish cluster fit", [](const RgbaPicture& p, unsigned t) { return squishBlocks(p, t, squish::kColourClusterFit); },
       squish::kDxt3, 2},
      {"stb_dxt high quality", stbBlocks, squish::kDxt1, 3},
  };
  std::printf("%u cores. PSNR in dB; speed in megapixels per second on 1 core / on %u cores.\n\n", cores, cores);
  std::printf("%-22s %-32s %8s %9s %9s\n", "picture", "encoder", "PSNR", "1 core", "all");
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
      f.mpsAll = mp / bestSeconds(encoders[e].runs, [&] { blocks = encoders[e].encode(picture, cores); });
      figures[e].push_back(f);
      std::printf("%-22s %-32s %8.3f %9.2f %9.2f\n", e ? "" : name.c_str(), encoders[e].name, f.psnr, f.mpsOne, f.mpsAll);
    }
  }
  if (photos <= 0) return 0;
  // Over the photographs: mean PSNR, and speed as all their pixels over all
  // their time (each photograph weighs by its size).
  std::printf("\nphotographs (%d): mean PSNR, overall speed, and against libsquish's iterative fit on 1 core\n", photos);
  std::printf("%-32s %8s %9s %9s %10s %10s %10s %9s\n", "encoder", "PSNR", "1 core", "all", "dB", "x 1 core", "x all",
              "min dB");
  auto overall = [&](std::size_t e, bool all) {
    double pixels = 0, seconds = 0;
    for (int k = 0; k < photos; ++k) {
      pixels += megapixels[k];
      seconds += megapixels[k] / (all ? figures[e][k].mpsAll : figures[e][k].mpsOne);
    }
    return pixels / seconds;
  };
  const double baseOne = overall(1, false);
  double basePsnr = 0;
  for (int k = 0; k < photos; ++k) basePsnr += figures[1][k].psnr / photos;
  for (std::size_t e = 0; e < encoders.size(); ++e) {
    double psnr = 0, worst = 1e9;
    for (int k = 0; k < photos; ++k) {
      psnr += figures[e][k].psnr / photos;
      worst = std::min(worst, figures[e][k].psnr - figures[1][k].psnr);
    }
    std::printf("%-32s %8.3f %9.2f %9.2f %+10.3f %10.2f %10.2f %+9.3f\n", encoders[e].name, psnr, overall(e, false),
                overall(e, true), psnr - basePsnr, overall(e, false) / baseOne, overall(e, true) / baseOne, worst);
  }
  return 0;
}
