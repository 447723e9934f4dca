#include <gtest/gtest.h>

#include <cstring>

#include "files.h"
#include "reencode.h"
#include "test_folder.h"

namespace {
std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }
}  // namespace

TEST(ReencodeBytes, ToPngWithAnOutputPathGivesTheSameBytesInBoth) {
  TestFolder scratch;
  ByteBuffer output = textToBuffer("old");
  ASSERT_TRUE(reencodeBytes(readFileBytes(fixture("intake.jpg")), 5, scratch / "out.png", output));
  EXPECT_EQ(output.view().substr(0, 4), "\x89PNG");
  EXPECT_EQ(readFileBytes(scratch / "out.png").view(), output.view());
}

TEST(ReencodeBytes, UnknownFormatsAndTinySourcesLeaveTheOutputAlone) {
  ByteBuffer output = textToBuffer("old");
  EXPECT_FALSE(reencodeBytes(readFileBytes(fixture("intake.jpg")), 6, "", output));
  EXPECT_EQ(output.view(), "old");
  EXPECT_FALSE(reencodeBytes(textToBuffer("ab"), 1, "", output));
  EXPECT_EQ(output.view(), "old");
  EXPECT_FALSE(reencodeBytes(textToBuffer("not a picture"), 1, "", output));
  EXPECT_EQ(output.view(), "old");
}

TEST(SizeProbe, ReadsTheBitmapFormAndTakesBmBytesAsTheyAre) {
  const ByteBuffer jpeg = readFileBytes(fixture("intake.jpg"));
  EXPECT_EQ(pictureWidthOf(jpeg), 1024);
  EXPECT_EQ(pictureHeightOf(jpeg), 768);
  ByteBuffer fake = zeroBuffer(30);
  std::memcpy(fake.data(), "BM", 2);
  const std::int32_t width = 1234, height = -8;
  std::memcpy(fake.data() + 18, &width, 4);
  std::memcpy(fake.data() + 22, &height, 4);
  EXPECT_EQ(pictureWidthOf(fake), 1234);  // not re-encoded
  EXPECT_EQ(pictureHeightOf(fake), -8);
  EXPECT_EQ(pictureWidthOf(ByteBuffer()), 0);
  EXPECT_EQ(pictureHeightOf(textToBuffer("x")), 0);
}
