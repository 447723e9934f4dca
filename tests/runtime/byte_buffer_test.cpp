#include <gtest/gtest.h>

#include "byte_buffer.h"

namespace {
ByteBuffer bytes(std::string_view text) { return textToBuffer(text); }
}  // namespace

TEST(ByteBuffer, LeftAndMidClampTheirRanges) {
  const ByteBuffer abc = bytes("abcdef");
  EXPECT_EQ(bufferLeft(abc, 3).view(), "abc");
  EXPECT_EQ(bufferLeft(abc, 99).view(), "abcdef");
  EXPECT_TRUE(bufferLeft(abc, 0).empty());
  EXPECT_TRUE(bufferLeft(abc, -1).empty());
  EXPECT_EQ(bufferMid(abc, 2, 3).view(), "bcd");
  EXPECT_EQ(bufferMid(abc, 0, 2).view(), "ab");
  EXPECT_EQ(bufferMid(abc, -7, 2).view(), "ab");
  EXPECT_EQ(bufferMid(abc, 5, 99).view(), "ef");
  EXPECT_TRUE(bufferMid(abc, 7, 1).empty());
  EXPECT_TRUE(bufferMid(abc, 2, -1).empty());
}

TEST(ByteBuffer, ReadInt32PadsShortBuffersWithZeros) {
  const std::uint8_t two[] = {0x34, 0x12};
  EXPECT_EQ(readInt32(bufferFromMemory(two, 2)), 0x1234);
  const std::uint8_t negative[] = {0xFE, 0xFF, 0xFF, 0xFF, 0x55};
  EXPECT_EQ(readInt32(bufferFromMemory(negative, 5)), -2);
  EXPECT_EQ(readInt32(ByteBuffer()), 0);
}

TEST(ByteBuffer, MemoryCopiesAndComparison) {
  EXPECT_EQ(bufferLength(zeroBuffer(5)), 5);
  EXPECT_EQ(readInt32(zeroBuffer(4)), 0);
  EXPECT_TRUE(zeroBuffer(-3).empty());
  EXPECT_TRUE(bufferFromMemory("x", 0).empty());
  EXPECT_TRUE(textToBuffer("").empty());

  char target[6] = "-----";
  bufferToMemory(bytes("abc"), target, 2);
  EXPECT_STREQ(target, "ab---");
  bufferToMemory(bytes("xyz"), target, -1);  // the whole buffer
  EXPECT_STREQ(target, "xyz--");
  bufferToMemory(bytes("q"), target, 4);  // never more than the buffer holds
  EXPECT_STREQ(target, "qyz--");

  EXPECT_EQ(compareBytes("ab", "ac", 0), 0);
  EXPECT_LT(compareBytes("ab", "ac", 2), 0);
  EXPECT_GT(compareBytes("\xB0", "a", 1), 0);
}

TEST(ByteBuffer, CopiesAreDeepAndMovesLeaveEmpty) {
  ByteBuffer original = bytes("abc");
  ByteBuffer copy = original;
  copy[0] = 'x';
  EXPECT_EQ(original.view(), "abc");
  ByteBuffer moved = std::move(original);
  EXPECT_TRUE(original.empty());  // NOLINT: checking the moved-from state
  EXPECT_EQ(moved.view(), "abc");
  moved.truncate(1);
  EXPECT_EQ(moved.view(), "a");
}
