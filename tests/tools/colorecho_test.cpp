#include <gtest/gtest.h>

#include "colour_text.h"

TEST(ColorEcho, ParsesColoursRestoreAndLineBreaks) {
  const auto pieces = parseColourText("{0c}ERROR:{#} \"{09}C:\\a.png{#}\" isn't exist.{\\n}");
  ASSERT_EQ(pieces.size(), 9u);
  EXPECT_EQ(pieces[0].kind, ColourPiece::SetColour);
  EXPECT_EQ(pieces[0].attribute, 0x0C);
  EXPECT_EQ(pieces[1].text, "ERROR:");
  EXPECT_EQ(pieces[2].kind, ColourPiece::Restore);
  EXPECT_EQ(pieces[3].text, " \"");
  EXPECT_EQ(pieces[4].attribute, 0x09);
  EXPECT_EQ(pieces[5].text, "C:\\a.png");
  EXPECT_EQ(pieces[6].kind, ColourPiece::Restore);
  EXPECT_EQ(pieces[7].text, "\" isn't exist.");
  EXPECT_EQ(pieces[8].kind, ColourPiece::NewLine);
}

TEST(ColorEcho, PlainBracesAndTwoByteCharactersStayText) {
  const auto pieces = parseColourText("{zz}{1}{ab}x{A}");
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].text, "{zz}{1}");
  EXPECT_EQ(pieces[1].attribute, 0xAB);
  EXPECT_EQ(pieces[2].text, "x{A}");
  // "鍆" is 0xE5 0x7B in code page 936: its second byte is "{".
  const auto gbk = parseColourText("\xE5{0a}");
  ASSERT_EQ(gbk.size(), 1u);
  EXPECT_EQ(gbk[0].text, "\xE5{0a}");
  EXPECT_TRUE(parseColourText("").empty());
}

TEST(ColorEcho, TextIsTheCommandLineAfterTheProgramName) {
  EXPECT_EQ(argumentText("\"C:\\a b\\colorecho\" {0a}"), "{0a}");
  EXPECT_EQ(argumentText("colorecho {0c}x  y"), "{0c}x  y");
  EXPECT_EQ(argumentText("colorecho"), "");
}
