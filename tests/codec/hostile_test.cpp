#include <gtest/gtest.h>
#include <windows.h>

#include "codec_test_support.h"
#include "decoders.h"

namespace {

// Every input the fuzzers once failed on, for every decoder, in the
// Windows build as well.
std::vector<std::string> regressionInputs() {
  std::vector<std::string> files;
  for (const char* format : {"bmp", "gif", "tga", "jpeg", "png", "tiff"}) {
    const std::string folder = std::string(TF_FUZZ_REGRESSIONS) + "\\" + format;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return files;
}

}  // namespace

TEST(HostileFiles, KeptFuzzerFindingsDecodeSafelyEverywhere) {
  for (const std::string& path : regressionInputs()) {
    const std::vector<std::uint8_t> bytes = fileBytes(path);
    for (ImageFormat format = 1; format <= 7; ++format) {
      Picture picture;
      decodeAs(format, bytes.data(), bytes.size(), picture);  // must not crash or hang
    }
  }
}

TEST(HostileFiles, TruncatedAndCorruptedCopiesOfEveryFixtureAreRefusedOrWhole) {
  for (const char* name : {"bmp8rle.bmp", "bmp4rle.bmp", "bmp32alpha.bmp", "gifinterlaced.gif",
                           "tga24rle.tga", "tga8rlepalette.tga", "png16.png", "pngpalette.png",
                           "tiffpalette.tif", "tiffrgb.tif", "jpegcolour.jpg", "jpegcmyk.jpg"}) {
    const std::vector<std::uint8_t> whole = fileBytes(fixture(name));
    ASSERT_FALSE(whole.empty()) << name;
    for (std::size_t keep : {std::size_t{0}, std::size_t{10}, whole.size() / 3, whole.size() / 2}) {
      Picture picture;
      EXPECT_FALSE(decodeByContent(whole.data(), keep, picture)) << name << " cut to " << keep;
    }
    std::vector<std::uint8_t> noisy = whole;
    for (std::size_t i = 20; i < noisy.size(); i += 7) noisy[i] ^= 0x5A;
    Picture picture;
    if (decodeByContent(noisy.data(), noisy.size(), picture)) {  // a damaged file that still decodes
      EXPECT_EQ(picture.pixels.size(), picture.pixelCount() * (picture.isPalette() ? 1 : 3)) << name;
    }
  }
}

TEST(HostileFiles, HeadersClaimingHugePicturesAreRefusedBeforeAllocating) {
  // A BMP header of 65 000 x 65 000 at 24 bits with no pixel data.
  std::vector<std::uint8_t> bmp(54, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = 54;
  bmp[14] = 40;
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(18, 65000);
  put32(22, 65000);
  bmp[26] = 1;
  bmp[28] = 24;
  Picture picture;
  EXPECT_FALSE(decodeBmp({bmp.data(), bmp.size()}, picture));
  put32(18, 8192);
  put32(22, 8192);  // within the limits, but the data is missing
  EXPECT_FALSE(decodeBmp({bmp.data(), bmp.size()}, picture));
}
