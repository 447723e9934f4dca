#include <gtest/gtest.h>

#include "codec_test_support.h"

namespace {

// Decodes a fixture and encodes it; returns the written file's path.
std::string encodeFixture(const std::string& name, ImageFormat format, const std::string& output,
                          bool* result = nullptr) {
  ImageObject object;
  EXPECT_TRUE(object.DecodeFromFile(fixture(name), IMAGE_FORMAT_UNKNOWN)) << name;
  const std::string path = outputPath(output);
  const bool written = object.EecodeToFile(path, format);
  if (result) *result = written;
  else EXPECT_TRUE(written) << output;
  return path;
}

int jpegComponents(const std::string& path) {
  const std::vector<std::uint8_t> file = fileBytes(path);
  for (std::size_t at = 2; at + 10 < file.size();) {
    if (file[at] != 0xFF) return -1;
    const int marker = file[at + 1];
    const int length = (file[at + 2] << 8) | file[at + 3];
    if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) return file[at + 9];
    at += 2 + length;
  }
  return -1;
}

}  // namespace

TEST(EncodePng, TrueColourGetsTypeTwoWhiteBackgroundAnd3780PerMetre) {
  const auto chunks = pngChunks(encodeFixture("rgb640.bmp", IMAGE_FORMAT_PNG, "rgb640.png"));
  const PngChunk* header = findChunk(chunks, "IHDR");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(bigEndian32(&header->data[0]), 640u);
  EXPECT_EQ(bigEndian32(&header->data[4]), 480u);
  EXPECT_EQ(header->data[8], 8);   // bit depth
  EXPECT_EQ(header->data[9], 2);   // RGB
  EXPECT_EQ(header->data[12], 0);  // not interlaced
  const PngChunk* background = findChunk(chunks, "bKGD");
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->data, (std::vector<std::uint8_t>{0, 255, 0, 255, 0, 255}));
  const PngChunk* physical = findChunk(chunks, "pHYs");
  ASSERT_NE(physical, nullptr);
  EXPECT_EQ(bigEndian32(&physical->data[0]), 3780u);
  EXPECT_EQ(bigEndian32(&physical->data[4]), 3780u);
  EXPECT_EQ(physical->data[8], 1);  // metre
}

TEST(EncodePng, PaletteIsTrimmedToTheHighestIndexOnlyForSmallPictures) {
  auto plteEntries = [](const std::string& path) {
    const auto chunks = pngChunks(path);
    const PngChunk* plte = findChunk(chunks, "PLTE");
    return plte ? static_cast<int>(plte->data.size() / 3) : -1;
  };
  EXPECT_EQ(plteEntries(encodeFixture("palette100.bmp", IMAGE_FORMAT_PNG, "palette100.png")), 10);
  EXPECT_EQ(plteEntries(encodeFixture("palette300.bmp", IMAGE_FORMAT_PNG, "palette300.png")), 256);
  const auto chunks = pngChunks(outputPath("palette100.png"));
  EXPECT_EQ(findChunk(chunks, "IHDR")->data[9], 3);
  EXPECT_EQ(findChunk(chunks, "bKGD")->data, std::vector<std::uint8_t>{0});  // palette index 0
}

TEST(EncodePng, TransparentGifColourMovesToIndexZeroWithOneTrnsEntry) {
  ImageObject source;
  ASSERT_TRUE(source.DecodeFromFile(fixture("giftransparent.gif"), IMAGE_FORMAT_GIF));
  const Picture& gif = *source.codec()->GetPicture();
  ASSERT_GE(gif.transparentIndex, 0);
  const auto chunks = pngChunks(encodeFixture("giftransparent.gif", IMAGE_FORMAT_PNG, "giftransparent.png"));
  EXPECT_EQ(findChunk(chunks, "IHDR")->data[9], 3);
  const PngChunk* trns = findChunk(chunks, "tRNS");
  ASSERT_NE(trns, nullptr);
  EXPECT_EQ(trns->data, std::vector<std::uint8_t>{0});
  const PngChunk* plte = findChunk(chunks, "PLTE");
  const PaletteEntry& t = gif.transparentColour;
  EXPECT_EQ(plte->data[0], t.red);
  EXPECT_EQ(plte->data[1], t.green);
  EXPECT_EQ(plte->data[2], t.blue);
  // The same colours in the same places.
  ImageObject reread;
  ASSERT_TRUE(reread.DecodeFromFile(outputPath("giftransparent.png"), IMAGE_FORMAT_PNG));
  auto colours = [](const Picture& p) {
    std::vector<std::uint8_t> rgba = rgbaOf(p);
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    return rgba;
  };
  EXPECT_EQ(colours(*reread.codec()->GetPicture()), colours(gif));
}

TEST(EncodePng, AlphaPlaneGivesRgbaAndGreyJpegGivesAGreyPalette) {
  auto rgba = pngChunks(encodeFixture("pngrgba.png", IMAGE_FORMAT_PNG, "rgba.png"));
  EXPECT_EQ(findChunk(rgba, "IHDR")->data[9], 6);
  auto grey = pngChunks(encodeFixture("jpeggrey.jpg", IMAGE_FORMAT_PNG, "greyjpeg.png"));
  EXPECT_EQ(findChunk(grey, "IHDR")->data[9], 3);
  const PngChunk* plte = findChunk(grey, "PLTE");
  ASSERT_NE(plte, nullptr);
  for (std::size_t i = 0; i + 2 < plte->data.size(); i += 3) {
    EXPECT_EQ(plte->data[i], i / 3);
    EXPECT_EQ(plte->data[i + 1], i / 3);
  }
}

TEST(EncodeJpeg, GreyStaysOneComponentColourIsThree) {
  EXPECT_EQ(jpegComponents(encodeFixture("jpeggrey.jpg", IMAGE_FORMAT_JPG, "grey.jpg")), 1);
  EXPECT_EQ(jpegComponents(encodeFixture("rgb640.bmp", IMAGE_FORMAT_JPG, "rgb640.jpg")), 3);
}

TEST(EncodeJpeg, ColourPalettePicturesAreWrittenAsColourJpegs) {
  // Mended: a colour GIF is not refused (an empty working copy would let a
  // picture through that can never be built).
  bool written = false;
  const std::string path = encodeFixture("gifinterlaced.gif", IMAGE_FORMAT_JPG, "gif.jpg", &written);
  EXPECT_TRUE(written);
  EXPECT_EQ(jpegComponents(path), 3);
  ImageObject gif, jpeg;
  ASSERT_TRUE(gif.DecodeFromFile(fixture("gifinterlaced.gif"), IMAGE_FORMAT_GIF));
  ASSERT_TRUE(jpeg.DecodeFromFile(path, IMAGE_FORMAT_JPG));
  const auto a = rgbaOf(*gif.codec()->GetPicture()), b = rgbaOf(*jpeg.codec()->GetPicture());
  long total = 0;
  for (std::size_t i = 0; i < a.size(); ++i) total += std::abs(a[i] - b[i]);
  EXPECT_LT(total / static_cast<long>(a.size()), 12);  // lossy, but the same picture
}

TEST(Encode, FailuresStillCutTheTargetToLengthZero) {
  const std::string path = outputPath("cut.png");
  std::FILE* old = std::fopen(path.c_str(), "wb");
  std::fputs("previous contents", old);
  std::fclose(old);
  ImageObject object;
  EXPECT_FALSE(object.DecodeFromFile(fixture("missing.bmp"), IMAGE_FORMAT_BMP));
  EXPECT_FALSE(object.EecodeToFile(path, IMAGE_FORMAT_PNG));  // codec, but no picture
  EXPECT_TRUE(fileBytes(path).empty());
  ASSERT_TRUE(object.DecodeFromFile(fixture("bmp8.bmp"), IMAGE_FORMAT_BMP));
  EXPECT_FALSE(object.EecodeToFile(path, 5));  // no encoder for that id
  EXPECT_TRUE(fileBytes(path).empty());
  EXPECT_FALSE(object.EecodeToFile(outputPath("no-such-folder\\x.png"), IMAGE_FORMAT_PNG));
}
