#include <gtest/gtest.h>

#include <webp/demux.h>

#include "codec_test_support.h"

namespace {

enum class Form { Palette1, Palette4, Palette8, Grey, TrueColour };

struct Case {
  const char* file;
  ImageFormat format;
  Form form;
  bool alpha;
  int tolerance;  // lossy formats and CMYK conversions differ a little
};

const Case kCases[] = {
    {"bmp1.bmp", IMAGE_FORMAT_BMP, Form::Palette1, false, 0},
    {"bmp4.bmp", IMAGE_FORMAT_BMP, Form::Palette4, false, 0},
    {"bmp8.bmp", IMAGE_FORMAT_BMP, Form::Palette8, false, 0},
    {"bmp4rle.bmp", IMAGE_FORMAT_BMP, Form::Palette4, false, 0},
    {"bmp8rle.bmp", IMAGE_FORMAT_BMP, Form::Palette8, false, 0},
    {"bmp16.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, false, 4},
    {"bmp16bitfields.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, false, 4},
    {"bmp24.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, false, 0},
    {"bmp24topdown.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, false, 0},
    {"bmp32.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, false, 0},
    {"bmp32alpha.bmp", IMAGE_FORMAT_BMP, Form::TrueColour, true, 0},
    {"gif87.gif", IMAGE_FORMAT_GIF, Form::Palette4, false, 0},
    {"gifinterlaced.gif", IMAGE_FORMAT_GIF, Form::Palette8, false, 0},
    {"giftransparent.gif", IMAGE_FORMAT_GIF, Form::Palette8, false, 0},
    {"tga24bottom.tga", IMAGE_FORMAT_TGA, Form::TrueColour, false, 0},
    {"tga32top.tga", IMAGE_FORMAT_TGA, Form::TrueColour, true, 0},
    {"tga8palette.tga", IMAGE_FORMAT_TGA, Form::Palette8, false, 0},
    {"tga8grey.tga", IMAGE_FORMAT_TGA, Form::TrueColour, false, 0},
    {"tga24rle.tga", IMAGE_FORMAT_TGA, Form::TrueColour, false, 0},
    {"tga8rlepalette.tga", IMAGE_FORMAT_TGA, Form::Palette8, false, 0},
    {"png16.png", IMAGE_FORMAT_PNG, Form::TrueColour, false, 1},
    {"pnggrey8.png", IMAGE_FORMAT_PNG, Form::Grey, false, 0},
    {"pnggrey2.png", IMAGE_FORMAT_PNG, Form::Palette4, false, 0},
    {"pngpalette.png", IMAGE_FORMAT_PNG, Form::Palette8, false, 0},
    {"pngrgba.png", IMAGE_FORMAT_PNG, Form::TrueColour, true, 0},
    {"tiffpalette.tif", IMAGE_FORMAT_TIF, Form::Palette8, false, 1},  // 16-bit map rounding
    {"tiffrgb.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"jpegcolour.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpeggrey.jpg", IMAGE_FORMAT_JPG, Form::Grey, false, 2},
    {"jpegcmyk.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 8},
    // Stored turned or mirrored, shown upright by their orientation (EXIF;
    // TIFF tag 274), as ImageMagick's auto-orientation shows them.
    {"jpegorient2.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient3.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient4.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient5.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient6.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient7.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"jpegorient8.jpg", IMAGE_FORMAT_JPG, Form::TrueColour, false, 2},
    {"tifforient2.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient3.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient4.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient5.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient6.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient7.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tifforient8.tif", IMAGE_FORMAT_TIF, Form::TrueColour, false, 0},
    {"tiffpaletteorient2.tif", IMAGE_FORMAT_TIF, Form::Palette8, false, 1},
    {"tiffpaletteorient5.tif", IMAGE_FORMAT_TIF, Form::Palette8, false, 1},
    {"tiffpaletteorient6.tif", IMAGE_FORMAT_TIF, Form::Palette8, false, 1},
    {"tiffpaletteorient8.tif", IMAGE_FORMAT_TIF, Form::Palette8, false, 1},
    // WebP as browsers save it; an animation gives its first frame.
    {"webplossy.webp", IMAGE_FORMAT_WEBP, Form::TrueColour, false, 2},
    {"webplossless.webp", IMAGE_FORMAT_WEBP, Form::TrueColour, false, 0},
    {"webpalpha.webp", IMAGE_FORMAT_WEBP, Form::TrueColour, true, 0},
    {"webpanimated.webp", IMAGE_FORMAT_WEBP, Form::TrueColour, false, 0},
    {"webporient6.webp", IMAGE_FORMAT_WEBP, Form::TrueColour, false, 0},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.file; }

class DecodeEveryForm : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(DecodeEveryForm, MatchesImageMagicksDecodingInTheRightForm) {
  const Case& c = GetParam();
  ImageObject object;
  ASSERT_TRUE(object.DecodeFromFile(fixture(c.file), c.format)) << c.file;
  const Picture& picture = *object.codec()->GetPicture();
  EXPECT_EQ(picture.width, 36u);
  EXPECT_EQ(picture.height, 24u);
  switch (c.form) {
    case Form::Palette1: EXPECT_EQ(picture.bitsPerPixel, 1); break;
    case Form::Palette4: EXPECT_EQ(picture.bitsPerPixel, 4); break;
    case Form::Palette8: EXPECT_EQ(picture.bitsPerPixel, 8); break;
    case Form::Grey: EXPECT_TRUE(object.codec()->IsGrayScale()); break;
    case Form::TrueColour: EXPECT_EQ(picture.bitsPerPixel, 24); break;
  }
  if (c.form != Form::Grey) {
    EXPECT_FALSE(object.codec()->IsGrayScale());
  }
  if (picture.isPalette()) {
    EXPECT_EQ(picture.palette.size(), std::size_t{1} << picture.bitsPerPixel);
  }
  EXPECT_EQ(!picture.alpha.empty(), c.alpha);
  const std::vector<std::uint8_t> reference = referenceRgba(c.file);
  const std::vector<std::uint8_t> decoded = rgbaOf(picture);
  EXPECT_LE(largestColourDifference(decoded, reference), c.tolerance);
  if (c.alpha) {
    EXPECT_EQ(largestAlphaDifference(decoded, reference), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DecodeEveryForm, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

// An animation whose first frame covers part of its canvas, in a file
// without an alpha flag: the rest of the canvas is transparent, as
// libwebp's own animation decoder shows it (its background colour, white,
// is only a hint). A first frame that covers the canvas without alpha
// gives no alpha plane (webpanimated.webp above).
TEST(DecodeWebp, AFirstFrameThatLeavesPartOfTheCanvasLiesOnTransparency) {
  const std::vector<std::uint8_t> file = fileBytes(fixture("webppartialframe.webp"));
  WebPAnimDecoderOptions options;
  ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
  options.color_mode = MODE_RGBA;
  const WebPData data{file.data(), file.size()};
  WebPAnimDecoder* animation = WebPAnimDecoderNew(&data, &options);
  ASSERT_NE(animation, nullptr);
  std::uint8_t* canvas = nullptr;
  int timestamp = 0;
  ASSERT_TRUE(WebPAnimDecoderGetNext(animation, &canvas, &timestamp));
  const std::vector<std::uint8_t> reference(canvas, canvas + 36 * 24 * 4);
  WebPAnimDecoderDelete(animation);

  ImageObject object;
  ASSERT_TRUE(object.DecodeFromFile(fixture("webppartialframe.webp"), IMAGE_FORMAT_WEBP));
  const Picture& picture = *object.codec()->GetPicture();
  EXPECT_FALSE(picture.alpha.empty());
  EXPECT_EQ(reference[3], 0);  // (0, 0) lies outside the frame
  EXPECT_EQ(rgbaOf(picture), reference);
}

TEST(DecodeFromFile, ShortPathsAndMissingFiles) {
  ImageObject object;
  EXPECT_FALSE(object.DecodeFromFile("a.b", IMAGE_FORMAT_BMP));
  EXPECT_EQ(object.codec(), nullptr);  // no codec for a path of 3 bytes
  EXPECT_FALSE(object.EecodeToFile("x.p", IMAGE_FORMAT_PNG));
  EXPECT_FALSE(object.DecodeFromFile(fixture("missing.png"), IMAGE_FORMAT_PNG));
  ASSERT_NE(object.codec(), nullptr);  // made by the call that got past the path check
  EXPECT_FALSE(object.codec()->GetPicture() != nullptr);
  const std::string target = outputPath("empty-after-missing.png");
  std::remove(target.c_str());
  EXPECT_FALSE(object.EecodeToFile(target, IMAGE_FORMAT_PNG));
  EXPECT_TRUE(fileBytes(target).empty());
  FILE* created = std::fopen(target.c_str(), "rb");
  EXPECT_NE(created, nullptr);  // created, with length 0
  if (created) std::fclose(created);
}

TEST(DecodeFromFile, WrongIdsFallBackToDetectionByContent) {
  ImageObject object;
  EXPECT_TRUE(object.DecodeFromFile(fixture("pngpalette.png"), IMAGE_FORMAT_BMP));
  EXPECT_TRUE(object.DecodeFromFile(fixture("pngrgba.png"), IMAGE_FORMAT_TIF));
  EXPECT_TRUE(object.DecodeFromFile(fixture("tga32top.tga"), IMAGE_FORMAT_UNKNOWN));
  EXPECT_TRUE(object.DecodeFromFile(fixture("gif87.gif"), 99));
  // A WebP named otherwise is the WebP it is (found before TGA, whose
  // header has no signature); 16 is WebP's own id, 17 asks for detection.
  EXPECT_TRUE(object.DecodeFromFile(fixture("webplossless.webp"), IMAGE_FORMAT_JPG));
  EXPECT_EQ(rgbaOf(*object.codec()->GetPicture()), referenceRgba("webplossless.webp"));
  EXPECT_TRUE(object.DecodeFromFile(fixture("webplossy.webp"), IMAGE_FORMAT_UNKNOWN));
  EXPECT_TRUE(object.DecodeFromFile(fixture("webpalpha.webp"), 17));
  EXPECT_FALSE(object.DecodeFromFile(fixture("bmp24.bmp.rgba"), IMAGE_FORMAT_BMP));  // raw bytes: nothing
}

TEST(DecodeFromFile, AFailedDecodeKeepsTheHeldPicture) {
  ImageObject object;
  ASSERT_TRUE(object.DecodeFromFile(fixture("bmp24.bmp"), IMAGE_FORMAT_BMP));
  const std::vector<std::uint8_t> good = rgbaOf(*object.codec()->GetPicture());
  // A truncated copy of a good file, then a file of another kind entirely.
  std::vector<std::uint8_t> damaged = fileBytes(fixture("pngrgba.png"));
  damaged.resize(damaged.size() / 2);
  const std::string damagedPath = outputPath("damaged.png");
  std::FILE* out = std::fopen(damagedPath.c_str(), "wb");
  std::fwrite(damaged.data(), 1, damaged.size(), out);
  std::fclose(out);
  EXPECT_FALSE(object.DecodeFromFile(damagedPath, IMAGE_FORMAT_PNG));
  EXPECT_EQ(rgbaOf(*object.codec()->GetPicture()), good);
  ASSERT_TRUE(object.EecodeToFile(outputPath("good-again.png"), IMAGE_FORMAT_PNG));
  ImageObject reread;
  ASSERT_TRUE(reread.DecodeFromFile(outputPath("good-again.png"), IMAGE_FORMAT_PNG));
  EXPECT_EQ(rgbaOf(*reread.codec()->GetPicture()), good);
}

TEST(DecodeFromFile, ResolutionFromTheFileElse96) {
  ImageObject object;
  ASSERT_TRUE(object.DecodeFromFile(fixture("bmp24.bmp"), IMAGE_FORMAT_BMP));  // 3780 per metre
  EXPECT_EQ(pixelsPerMetre(object.codec()->GetPicture()->dpiX), 3780);
  ASSERT_TRUE(object.DecodeFromFile(fixture("tga24bottom.tga"), IMAGE_FORMAT_TGA));
  EXPECT_DOUBLE_EQ(object.codec()->GetPicture()->dpiX, 96);
  EXPECT_EQ(pixelsPerMetre(0), 3780);
  EXPECT_EQ(pixelsPerMetre(300), 11811);
}

// An orientation of 1 changes nothing: the same bytes as without EXIF.
TEST(Orientation, OneDecodesByteForByteAsWithoutExif) {
  for (auto [plain, tagged] : {std::pair{"jpegcolour.jpg", "jpegorient1.jpg"},
                               std::pair{"tiffrgb.tif", "tifforient1.tif"}}) {
    ImageObject a, b;
    ASSERT_TRUE(a.DecodeFromFile(fixture(plain), IMAGE_FORMAT_UNKNOWN));
    ASSERT_TRUE(b.DecodeFromFile(fixture(tagged), IMAGE_FORMAT_UNKNOWN));
    EXPECT_TRUE(a.codec()->GetPicture()->pixels == b.codec()->GetPicture()->pixels) << tagged;
  }
}
