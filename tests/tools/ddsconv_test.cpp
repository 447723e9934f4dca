#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <squish.h>

#include "colour_block.h"
#include "dxt_compressor.h"
#include "dxt_quality.h"
#include "files.h"
#include "png_input.h"
#include "test_folder.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }
std::string output(const std::string& name) { return std::string(TF_TOOLS_OUT) + "\\" + name; }

// Runs ddsconv with the arguments; returns its exit code.
DWORD runDdsconv(const std::string& arguments) {
  const std::string line = quoted(std::string(TF_TOOLS_BIN) + "\\ddsconv.exe") + " " + arguments;
  std::vector<char> mutableLine(line.begin(), line.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 999;
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 999;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

std::uint32_t le32(const ByteBuffer& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// RGB PSNR of the texture's blocks against the source picture.
double rgbPsnr(const RgbaPicture& source, const ByteBuffer& dds) {
  return dxtRgbPsnr(source, dds.data() + 128, squish::kDxt3);
}

}  // namespace

TEST(Ddsconv, WritesAStandardDxt3TextureOfThePicturesSize) {
  const std::string dds = output("gradient.dds");
  ASSERT_EQ(runDdsconv("-nomipmap -file " + quoted(fixture("intake1024x768.png")) + " -output " + quoted(dds)), 0u);
  const ByteBuffer file = readFileBytes(dds);
  ASSERT_EQ(file.size(), 128u + 256 * 192 * 16);
  EXPECT_EQ(std::memcmp(file.data(), "DDS ", 4), 0);
  EXPECT_EQ(le32(file, 4), 124u);
  EXPECT_EQ(le32(file, 8), 0x00081007u);
  EXPECT_EQ(le32(file, 12), 768u);
  EXPECT_EQ(le32(file, 16), 1024u);
  EXPECT_EQ(le32(file, 20), 256u * 192 * 16);
  EXPECT_EQ(le32(file, 24), 0u);
  EXPECT_EQ(le32(file, 28), 1u);
  EXPECT_EQ(le32(file, 76), 32u);
  EXPECT_EQ(le32(file, 80), 4u);
  EXPECT_EQ(std::memcmp(file.data() + 84, "DXT3", 4), 0);
  for (std::size_t at = 88; at < 108; ++at) EXPECT_EQ(file[at], 0) << at;  // no bit count or masks
  EXPECT_EQ(le32(file, 108), 0x1000u);
  RgbaPicture source;
  std::string reason;
  ASSERT_TRUE(readPngRgba(fixture("intake1024x768.png"), source, reason));
  EXPECT_GT(rgbPsnr(source, file), 38.0);
}

TEST(Ddsconv, BlocksUseFourColourModeAndRoundedAlpha) {
  RgbaPicture picture;
  std::string reason;
  ASSERT_TRUE(readPngRgba(fixture("pngrgba.png"), picture, reason));
  const std::vector<std::uint8_t> blocks = compressDxt(picture, DxtFormat::Dxt3, 2);
  ASSERT_EQ(blocks.size(), std::size_t((36 / 4) * (24 / 4) * 16));
  for (std::size_t b = 0; b < blocks.size(); b += 16) {
    const std::uint16_t c0 = blocks[b + 8] | (blocks[b + 9] << 8), c1 = blocks[b + 10] | (blocks[b + 11] << 8);
    const std::uint32_t indices = blocks[b + 12] | (blocks[b + 13] << 8) | (blocks[b + 14] << 16) |
                                  (std::uint32_t{blocks[b + 15]} << 24);
    EXPECT_TRUE(c0 > c1 || (c0 == c1 && indices == 0)) << "block " << b / 16;
  }
  // The first texel's alpha sits in the low nibble, rounded to 4 bits.
  for (int texel = 0; texel < 16; ++texel) {
    const int x = texel % 4, y = texel / 4;
    const int alpha = picture.rgba[4 * (y * 36 + x) + 3];
    const int nibble = (blocks[texel / 2] >> (texel % 2 ? 4 : 0)) & 15;
    EXPECT_EQ(nibble, (alpha * 15 + 127) / 255) << "texel " << texel;
  }
}

// Reusing a left neighbour's bytes must give exactly what encoding the
// block anew gives: flat runs, a run broken by one texel, alpha-only
// differences, ragged edges. And the whole is never below libsquish's
// iterative cluster fit.
TEST(Ddsconv, ReusedBlocksEqualFreshOnesAndTheQualityReachesLibsquishs) {
  RgbaPicture picture{38, 21, std::vector<std::uint8_t>(38 * 21 * 4)};
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      std::uint8_t* p = &picture.rgba[4 * (y * picture.width + x)];
      const bool flat = x < 24;
      p[0] = flat ? 200 : static_cast<std::uint8_t>(x * 7 + y * 3);
      p[1] = flat ? 40 : static_cast<std::uint8_t>(x * x + y);
      p[2] = static_cast<std::uint8_t>(y * 11);
      p[3] = x == 13 && y == 2 ? 17 : 255;  // breaks one flat block by alpha alone
    }
  picture.rgba[4 * (5 * 38 + 9)] = 199;  // and one by a single colour step
  const std::vector<std::uint8_t> blocks = compressDxt(picture, DxtFormat::Dxt3, 1);
  for (int by = 0; by < 6; ++by)
    for (int bx = 0; bx < 10; ++bx) {
      std::uint8_t rgba[64] = {}, fresh[8];
      int mask = 0;
      for (int i = 0; i < 16; ++i) {
        const int x = 4 * bx + i % 4, y = 4 * by + i / 4;
        if (x >= 38 || y >= 21) continue;
        std::memcpy(rgba + 4 * i, &picture.rgba[4 * (y * 38 + x)], 4);
        mask |= 1 << i;
      }
      encodeColourBlock(rgba, mask, fresh);
      EXPECT_EQ(std::memcmp(&blocks[16 * (by * 10 + bx) + 8], fresh, 8), 0) << "block " << bx << "," << by;
    }
  for (const char* name : {"intake1024x768.png", "pngrgba.png", "odd37x23.png"}) {
    RgbaPicture source;
    std::string reason;
    ASSERT_TRUE(readPngRgba(fixture(name), source, reason));
    const int flags = squish::kDxt3 | squish::kColourIterativeClusterFit;
    std::vector<std::uint8_t> theirs(static_cast<std::size_t>(squish::GetStorageRequirements(source.width, source.height, flags)));
    squish::CompressImage(source.rgba.data(), source.width, source.height, theirs.data(), flags);
    const std::vector<std::uint8_t> ours = compressDxt(source, DxtFormat::Dxt3, 2);
    EXPECT_GE(dxtRgbPsnr(source, ours.data(), flags), dxtRgbPsnr(source, theirs.data(), flags)) << name;
  }
}

// A smooth diagonal gradient, where banding shows: blocks one colour almost
// fits, and blocks of few colours near the middle colours. The floor is
// 0.3 dB below what the encoder reaches (52.29 dB; 50.66 before blocks
// that one colour almost fits were searched).
TEST(Ddsconv, ASmoothGradientKeepsItsQuality) {
  RgbaPicture source;
  std::string reason;
  ASSERT_TRUE(readPngRgba(fixture("smoothgradient.png"), source, reason)) << reason;
  const std::vector<std::uint8_t> blocks = compressDxt(source, DxtFormat::Dxt3, 2);
  EXPECT_GE(dxtRgbPsnr(source, blocks.data(), squish::kDxt3), 51.98);
}

TEST(Ddsconv, EdgeBlocksArePaddedForOddSizes) {
  const std::string dds = output("odd.dds");
  ASSERT_EQ(runDdsconv("-file " + quoted(fixture("odd37x23.png")) + " -output " + quoted(dds) + " -nomipmap"), 0u);
  const ByteBuffer file = readFileBytes(dds);
  EXPECT_EQ(le32(file, 12), 23u);
  EXPECT_EQ(le32(file, 16), 37u);
  EXPECT_EQ(le32(file, 20), 10u * 6 * 16);
  EXPECT_EQ(file.size(), 128u + 10 * 6 * 16);
}

TEST(Ddsconv, FailuresGiveNonZeroCodesAndLeaveNoFile) {
  TestFolder scratch;
  EXPECT_EQ(runDdsconv("-file " + quoted(scratch / "missing.png") + " -output " + quoted(scratch / "a.dds")), 2u);
  EXPECT_EQ(runDdsconv("-file " + quoted(fixture("damaged.bmp")) + " -output " + quoted(scratch / "b.dds")), 2u);
  ByteBuffer cut = readFileBytes(fixture("intake1024x768.png"));
  cut.truncate(cut.size() / 2);
  writeFileBytes(scratch / "cut.png", cut);
  EXPECT_EQ(runDdsconv("-file " + quoted(scratch / "cut.png") + " -output " + quoted(scratch / "c.dds")), 2u);
  EXPECT_EQ(runDdsconv("-file " + quoted(fixture("pngrgba.png")) + " -output " +
                       quoted(scratch / "no folder\\d.dds")), 3u);
  EXPECT_EQ(runDdsconv("-nomipmap -file"), 1u);
  for (const char* name : {"a.dds", "b.dds", "c.dds", "a.dds.tmp", "c.dds.tmp"})
    EXPECT_FALSE(fileExists(scratch / name)) << name;
}
