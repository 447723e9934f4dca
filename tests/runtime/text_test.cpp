#include <gtest/gtest.h>

#include "system_path.h"
#include "text.h"
#include "wide_text.h"

// "乗" is 0x81 0x5C in code page 936: its second byte is "\".
// "皃" is 0xB0 0x70: its second byte is "p".
static const std::string kTrailBackslash = "\x81\x5C";
static const std::string kTrailP = "\xB0\x70";

TEST(FindText, EmptySoughtTextIsFoundAtOneOnlyInNonEmptyText) {
  EXPECT_EQ(findText("abc", "", true), 1);
  EXPECT_EQ(findText("", "", true), -1);
  EXPECT_EQ(findText("abc", "", 3, false), 1);
  EXPECT_EQ(findText("abc", "", 4, false), -1);  // the region past the end is empty
}

TEST(FindText, IgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_EQ(findText("a.PNG", "png", true), 3);
  EXPECT_EQ(findText("a.PNG", "png", false), -1);
  // Bytes above 0x7F are compared exactly, never case-folded.
  EXPECT_EQ(findText("\xC1", "\xE1", true), -1);
  EXPECT_EQ(findText("x[y", "{", true), -1);  // '[' and '{' differ by 0x20 but are not letters
}

TEST(FindText, MatchesOnlyOnCharacterBoundaries) {
  EXPECT_EQ(findText(kTrailP + "ng", "png", true), -1);
  EXPECT_EQ(findText(kTrailP + "png", "png", true), 3);
  EXPECT_EQ(findText("C:" + kTrailBackslash + "x", "\\", false), -1);
  EXPECT_EQ(findText("C:\\" + kTrailBackslash, "\\", 4, false), -1);
}

TEST(FindText, StartPositionAndLengthLimits) {
  EXPECT_EQ(findText("abcabc", "abc", 2, false), 4);
  EXPECT_EQ(findText("abcabc", "abc", -5, false), 1);
  EXPECT_EQ(findText("ab", "abc", false), -1);
  EXPECT_EQ(findText("abc", "abc", 1, false), 1);
  // A lead byte cut off by the end of the text stops the search.
  EXPECT_EQ(findText("a\xB0", "\xB0", false), 2);
  EXPECT_EQ(findText("\xB0", "x", false), -1);
}

TEST(TextServices, LeftLengthJoinCompare) {
  EXPECT_EQ(leftText("abc", 10), "abc");
  EXPECT_EQ(leftText("abc", 0), "");
  EXPECT_EQ(leftText("abc", -1), "");
  EXPECT_EQ(leftText(kTrailP, 1), "\xB0");  // counts bytes
  EXPECT_EQ(textLength("中文"), 4);
  const char* absent = nullptr;
  EXPECT_EQ(joinText("a", absent, std::string("b"), "c"), "abc");
  EXPECT_EQ(compareText("", std::string()), 0);
  EXPECT_LT(compareText("a", "\xB0"), 0);  // unsigned ordering
  EXPECT_GT(compareText("ab", "a"), 0);
}

TEST(TrimSpaces, StripsAsciiAndFullWidthSpacesAtBothEnds) {
  EXPECT_EQ(trimSpaces("  \xA1\xA1 a b\xA1\xA1  "), "a b");
  EXPECT_EQ(trimSpaces("a\xA1\xA1" "b"), "a\xA1\xA1" "b");
  EXPECT_EQ(trimSpaces("\xA1\xA1"), "");
  EXPECT_EQ(trimSpaces(""), "");
  // "啊" is 0xB0 0xA1: its second byte with a following 0xA1 is not a space.
  EXPECT_EQ(trimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
}

// GBK inside, UTF-16 to Windows, whatever this process's code page.
TEST(WideText, GbkCrossesToUtf16AndBackExactly) {
  const std::string gbk = "C:\\图片\\载入背景.png";
  EXPECT_EQ(widen(gbk), L"C:\\图片\\载入背景.png");
  EXPECT_EQ(narrow(widen(gbk)), gbk);
  EXPECT_EQ(narrowExactly(widen(gbk)), gbk);
  EXPECT_EQ(widen(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));  // dialog filters hold zeros
  // No GBK form: "?" (never a look-alike that names another file).
  const std::wstring korean = L"C:\\\uD55C\uAE00 \u273f\\a.png";
  EXPECT_EQ(narrow(korean), "C:\\?? ?\\a.png");
  EXPECT_FALSE(narrowExactly(korean));
  EXPECT_FALSE(narrowExactly(L"\U0001F600"));  // an emoji
}

namespace {
std::wstring shortNameOf(const std::wstring&) { return L"C:\\HANGUL~1\\A.PNG"; }
std::wstring noShortName(const std::wstring&) { return L""; }
}  // namespace

TEST(SystemPath, ShortNameWhereThereIsNoGbkFormElseUnusable) {
  EXPECT_EQ(pathFromWindows(L"C:\\图片\\a.png", noShortName), "C:\\图片\\a.png");
  EXPECT_EQ(pathFromWindows(L"C:\\\uD55C\uAE00 \u273f\\a.png", shortNameOf), "C:\\HANGUL~1\\A.PNG");
  const Text unusable = pathFromWindows(L"C:\\\uD55C\uAE00 \u273f\\a.png", noShortName);
  EXPECT_FALSE(pathIsUsable(unusable));
  EXPECT_TRUE(pathIsUsable("C:\\图片\\a.png"));
  EXPECT_TRUE(pathIsUsable(kTrailBackslash + kTrailP));  // no GBK trail byte is "?"
}
