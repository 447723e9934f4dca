#include <gtest/gtest.h>

#include "colour_text.h"

TEST(ColorEcho, ParsesColoursRestoreAndLineBreaks) {
  const auto pieces = parseColourText(L"{0c}ERROR:{#} \"{09}C:\\a.png{#}\" isn't exist.{\\n}");
  ASSERT_EQ(pieces.size(), 9u);
  EXPECT_EQ(pieces[0].kind, ColourPiece::SetColour);
  EXPECT_EQ(pieces[0].attribute, 0x0C);
  EXPECT_EQ(pieces[1].text, L"ERROR:");
  EXPECT_EQ(pieces[2].kind, ColourPiece::Restore);
  EXPECT_EQ(pieces[3].text, L" \"");
  EXPECT_EQ(pieces[4].attribute, 0x09);
  EXPECT_EQ(pieces[5].text, L"C:\\a.png");
  EXPECT_EQ(pieces[6].kind, ColourPiece::Restore);
  EXPECT_EQ(pieces[7].text, L"\" isn't exist.");
  EXPECT_EQ(pieces[8].kind, ColourPiece::NewLine);
}

TEST(ColorEcho, PlainBracesAndOtherScriptsStayText) {
  const auto pieces = parseColourText(L"{zz}{1}{ab}x{A}");
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].text, L"{zz}{1}");
  EXPECT_EQ(pieces[1].attribute, 0xAB);
  EXPECT_EQ(pieces[2].text, L"x{A}");
  // A path in the command line comes whole, whatever its script.
  // (Outside the checks: their text is kept as GBK, which has no "한" or "✿".)
  const std::wstring picture = L"C:\\图片\\한글 ✿.png";
  const auto path = parseColourText(L"\"{09}" + picture + L"{#}\"");
  ASSERT_EQ(path.size(), 5u);
  EXPECT_EQ(path[2].text, picture);
  EXPECT_TRUE(parseColourText(L"").empty());
}

TEST(ColorEcho, TextIsTheCommandLineAfterTheProgramName) {
  EXPECT_EQ(argumentText(L"\"C:\\a b\\colorecho\" {0a}"), L"{0a}");
  EXPECT_EQ(argumentText(L"colorecho {0c}x  y"), L"{0c}x  y");
  EXPECT_EQ(argumentText(L"colorecho"), L"");
}
