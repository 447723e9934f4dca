// bench_ddsconv <png>...: RGB PSNR (decoded with libsquish, over all
// pixels) and megapixels per second of ddsconv's compressor on all cores,
// libsquish's iterative cluster fit single-threaded, and stb_dxt's
// high-quality mode (colour blocks; the yardstick users would pick).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <squish.h>
#define STB_DXT_IMPLEMENTATION
#include <stb_dxt.h>

#include "dxt_compressor.h"
#include "dxt_quality.h"
#include "png_input.h"

namespace {

// The best of five runs: short runs are easily disturbed.
template <typename F>
double seconds(F&& work) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

std::vector<std::uint8_t> stbColourBlocks(const RgbaPicture& p) {
  const int across = (p.width + 3) / 4, down = (p.height + 3) / 4;
  std::vector<std::uint8_t> blocks(static_cast<std::size_t>(across) * down * 8);
  for (int by = 0; by < down; ++by)
    for (int bx = 0; bx < across; ++bx) {
      unsigned char texels[64];
      for (int i = 0; i < 16; ++i) {
        const int x = std::min(bx * 4 + i % 4, p.width - 1), y = std::min(by * 4 + i / 4, p.height - 1);
        std::memcpy(&texels[4 * i], &p.rgba[4 * (static_cast<std::size_t>(y) * p.width + x)], 4);
      }
      stb_compress_dxt_block(&blocks[8 * (static_cast<std::size_t>(by) * across + bx)], texels, 0, STB_DXT_HIGHQUAL);
    }
  return blocks;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("%-18s %-34s %9s %9s\n", "picture", "encoder", "PSNR dB", "MP/s");
  for (int i = 1; i < argc; ++i) {
    RgbaPicture picture;
    std::string reason;
    if (!readPngRgba(argv[i], picture, reason)) {
      std::fprintf(stderr, "%s\n", reason.c_str());
      return 1;
    }
    const double megapixels = picture.width * double(picture.height) / 1e6;
    const char* name = std::strrchr(argv[i], '/') ? std::strrchr(argv[i], '/') + 1 : argv[i];
    std::vector<std::uint8_t> ours, squishOne(static_cast<std::size_t>(squish::GetStorageRequirements(picture.width, picture.height, squish::kDxt3)));
    const double tOurs = seconds([&] { ours = compressDxt(picture, DxtFormat::Dxt3, cores); });
    std::vector<std::uint8_t> oursOne;
    const double tOursOne = seconds([&] { oursOne = compressDxt(picture, DxtFormat::Dxt3, 1); });
    const double tSquish = seconds([&] {
      squish::CompressImage(picture.rgba.data(), picture.width, picture.height, squishOne.data(),
                            squish::kDxt3 | squish::kColourIterativeClusterFit);
    });
    std::vector<std::uint8_t> stb;
    const double tStb = seconds([&] { stb = stbColourBlocks(picture); });
    std::printf("%-18s %-34s %9.3f %9.2f\n", name, ("ddsconv (" + std::to_string(cores) + " threads)").c_str(),
                dxtRgbPsnr(picture, ours.data(), squish::kDxt3), megapixels / tOurs);
    std::printf("%-18s %-34s %9.3f %9.2f\n", "", "ddsconv (1 thread)", dxtRgbPsnr(picture, oursOne.data(), squish::kDxt3),
                megapixels / tOursOne);
    std::printf("%-18s %-34s %9.3f %9.2f\n", "", "libsquish iterative fit, 1 thread", dxtRgbPsnr(picture, squishOne.data(), squish::kDxt3),
                megapixels / tSquish);
    std::printf("%-18s %-34s %9.3f %9.2f\n", "", "stb_dxt high quality", dxtRgbPsnr(picture, stb.data(), squish::kDxt1), megapixels / tStb);
    std::printf("%-18s %-34s %9s %9.2fx\n", "", "speed-up over libsquish 1 thread", "", tSquish / tOurs);
  }
  return 0;
}
