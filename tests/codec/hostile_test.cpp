#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "codec_test_support.h"
#include "declared_size.h"
#include "decoders.h"

namespace {

// The decoders' fuzzers by the names of their folders of kept findings.
struct KeptFolder {
  const char* name;
  ImageFormat format;
};
constexpr KeptFolder kKeptFolders[] = {{"bmp", IMAGE_FORMAT_BMP},  {"gif", IMAGE_FORMAT_GIF},
                                       {"jpeg", IMAGE_FORMAT_JPG}, {"png", IMAGE_FORMAT_PNG},
                                       {"tiff", IMAGE_FORMAT_TIF}, {"tga", IMAGE_FORMAT_TGA},
                                       {"webp", IMAGE_FORMAT_WEBP}};

// The folders, or else the files, in a folder.
std::vector<std::string> entriesOf(const std::string& folder, bool folders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder == folders && found.cFileName[0] != '.') names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

}  // namespace

// Every input the fuzzers once failed on, in the Windows build as well:
// each folder's by the decoder its name names, and by every other decoder
// and header check too. A folder that names no decoder would be skipped
// silently: it fails.
TEST(HostileFiles, KeptFuzzerFindingsDecodeSafelyEverywhere) {
  std::size_t replayed = 0;
  for (const std::string& folder : entriesOf(TF_FUZZ_REGRESSIONS, true)) {
    EXPECT_TRUE(std::any_of(std::begin(kKeptFolders), std::end(kKeptFolders),
                            [&](const KeptFolder& kept) { return folder == kept.name; }))
        << "tests/fuzz/regressions/" << folder << " names no decoder";
    const std::string path = std::string(TF_FUZZ_REGRESSIONS) + "\\" + folder;
    for (const std::string& name : entriesOf(path, false)) {
      const std::vector<std::uint8_t> bytes = fileBytes(path + "\\" + name);
      ASSERT_FALSE(bytes.empty()) << folder << "/" << name;
      const ReadAt readAt = [&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
        if (offset > bytes.size() || count > bytes.size() - offset) return false;
        std::copy_n(bytes.data() + offset, count, out);
        return true;
      };
      for (const KeptFolder& kept : kKeptFolders) {
        Picture picture;
        decodeAs(kept.format, bytes.data(), bytes.size(), picture);  // must not crash or hang
        declaresTooLarge(kept.format, readAt);
      }
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0u) << "no kept findings in " << TF_FUZZ_REGRESSIONS;
}

namespace {

// The offset of a RIFF chunk's payload, found by its tag; 0 where none.
std::size_t chunkPayload(const std::vector<std::uint8_t>& file, const char* tag) {
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::uint32_t size = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16 | std::uint32_t{file[at + 7]} << 24;
    if (std::memcmp(&file[at], tag, 4) == 0) return at + 8;
    if (std::memcmp(&file[at], "ANMF", 4) == 0) {  // frames hold chunks of their own after 16 bytes
      at += 8 + 16;
      continue;
    }
    at += 8 + size + (size & 1);
  }
  return 0;
}

void put24(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 3; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

// WebP files that lie: each is refused, before any picture is made of it.
TEST(HostileFiles, WebpFilesThatLieAreRefused) {
  const std::vector<std::uint8_t> still = fileBytes(fixture("webporient6.webp"));    // extended (VP8X)
  const std::vector<std::uint8_t> animated = fileBytes(fixture("webpanimated.webp"));
  const std::vector<std::uint8_t> lossy = fileBytes(fixture("intakelossy.webp"));
  ASSERT_TRUE(!still.empty() && !animated.empty() && !lossy.empty());
  std::vector<std::vector<std::uint8_t>> lies;
  for (std::size_t keep : {lossy.size() / 2, lossy.size() - 1, std::size_t{30}})  // cut short
    lies.emplace_back(lossy.begin(), lossy.begin() + keep);
  for (std::uint32_t riffSize : {std::uint32_t(lossy.size() + 1000), std::uint32_t{20}}) {  // a RIFF size that lies
    lies.push_back(lossy);
    for (int i = 0; i < 4; ++i) lies.back()[4 + i] = static_cast<std::uint8_t>(riffSize >> (8 * i));
  }
  lies.push_back(still);  // a canvas beyond the limits: 70 000 wide
  put24(lies.back(), chunkPayload(still, "VP8X") + 4, 70000 - 1);
  lies.push_back(animated);  // the first frame beyond the canvas's right edge
  const std::size_t frame = chunkPayload(animated, "ANMF");
  ASSERT_NE(frame, 0u);
  put24(lies.back(), frame, 10);  // x offset 20 (stored halved) for a frame as wide as the canvas
  for (std::size_t i = 0; i < lies.size(); ++i) {
    Picture picture;
    EXPECT_FALSE(decodeAs(IMAGE_FORMAT_WEBP, lies[i].data(), lies[i].size(), picture)) << "lie " << i;
    EXPECT_FALSE(decodeByContent(lies[i].data(), lies[i].size(), picture)) << "lie " << i;
  }
  const std::vector<std::uint8_t>& wide = lies[lies.size() - 2];
  EXPECT_TRUE(declaresTooLarge(IMAGE_FORMAT_WEBP, [&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
    if (offset > wide.size() || count > wide.size() - offset) return false;
    std::copy_n(wide.data() + offset, count, out);
    return true;
  }));
}

TEST(HostileFiles, TruncatedAndCorruptedCopiesOfEveryFixtureAreRefusedOrWhole) {
  for (const char* name : {"bmp8rle.bmp", "bmp4rle.bmp", "bmp32alpha.bmp", "gifinterlaced.gif",
                           "tga24rle.tga", "tga8rlepalette.tga", "png16.png", "pngpalette.png",
                           "tiffpalette.tif", "tiffrgb.tif", "jpegcolour.jpg", "jpegcmyk.jpg",
                           "webplossy.webp", "webpalpha.webp", "webpanimated.webp"}) {
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

namespace {

// jpegcolour.jpg with an APP1 segment of the given EXIF bytes after SOI.
std::vector<std::uint8_t> withExif(const std::vector<std::uint8_t>& exif) {
  const std::vector<std::uint8_t> plain = fileBytes(fixture("jpegcolour.jpg"));
  std::vector<std::uint8_t> jpeg(plain.begin(), plain.begin() + 2);
  const std::size_t length = exif.size() + 2;
  for (std::uint8_t b : {std::uint8_t(0xFF), std::uint8_t(0xE1), std::uint8_t(length >> 8), std::uint8_t(length)})
    jpeg.push_back(b);
  jpeg.insert(jpeg.end(), exif.begin(), exif.end());
  jpeg.insert(jpeg.end(), plain.begin() + 2, plain.end());
  return jpeg;
}

// "Exif\0\0", a little-endian TIFF header whose first IFD is at `ifd`,
// then `rest`.
std::vector<std::uint8_t> exifBlock(std::uint32_t ifd, const std::vector<std::uint8_t>& rest) {
  std::vector<std::uint8_t> block{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0};
  for (int i = 0; i < 4; ++i) block.push_back(static_cast<std::uint8_t>(ifd >> (8 * i)));
  block.insert(block.end(), rest.begin(), rest.end());
  return block;
}

}  // namespace

// A damaged or hostile EXIF block changes nothing: the picture decodes as
// without it. Only the orientation's value is ever taken from the block.
TEST(HostileFiles, DamagedExifBlocksAreIgnored) {
  Picture plain;
  const std::vector<std::uint8_t> reference = fileBytes(fixture("jpegcolour.jpg"));
  ASSERT_TRUE(decodeJpeg({reference.data(), reference.size()}, plain));
  // One IFD entry: tag, type, count, value (little-endian), as given.
  auto entry = [](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint16_t value) {
    return std::vector<std::uint8_t>{1, 0, std::uint8_t(tag), std::uint8_t(tag >> 8), std::uint8_t(type), 0,
                                     std::uint8_t(count), std::uint8_t(count >> 8), std::uint8_t(count >> 16),
                                     std::uint8_t(count >> 24), std::uint8_t(value), std::uint8_t(value >> 8), 0, 0};
  };
  const std::vector<std::vector<std::uint8_t>> blocks = {
      exifBlock(0xFFFFFFF0, {}),                                    // the IFD far beyond the block
      exifBlock(8, {0xFF, 0xFF, 0x12, 0x01, 3, 0}),                 // 65535 entries, one begun
      exifBlock(8, entry(0x0112, 4, 1, 6)),                         // orientation as LONG
      exifBlock(8, entry(0x0112, 3, 0x40000000, 6)),                // a count of a billion
      exifBlock(8, entry(0x0112, 3, 1, 9)),                         // no such orientation
      exifBlock(8, entry(0x0112, 3, 1, 0)),
      {'E', 'x', 'i', 'f', 0, 0, 'I', 'I'},                          // cut after the byte order
      {'E', 'x', 'i', 'f', 0, 0, 'X', 'X', 42, 0, 8, 0, 0, 0},      // no byte order
  };
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const std::vector<std::uint8_t> jpeg = withExif(blocks[i]);
    Picture picture;
    ASSERT_TRUE(decodeJpeg({jpeg.data(), jpeg.size()}, picture)) << "block " << i;
    EXPECT_EQ(picture.width, plain.width) << "block " << i;
    EXPECT_TRUE(picture.pixels == plain.pixels) << "block " << i;
  }
  // A big-endian block is read as such: orientation 6 shows it turned.
  const std::vector<std::uint8_t> bigEndian{'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                                            0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0};
  const std::vector<std::uint8_t> turned = withExif(bigEndian);
  Picture picture;
  ASSERT_TRUE(decodeJpeg({turned.data(), turned.size()}, picture));
  EXPECT_EQ(picture.width, plain.height);
  EXPECT_EQ(picture.height, plain.width);
}
