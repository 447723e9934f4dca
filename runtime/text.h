#pragma once
// Text services. A text is a byte string in code page 936; lengths and
// positions count bytes and positions start at 1. An absent text and an
// empty one are the same value, so std::string's empty state stands for both.
#include <string>
#include <string_view>

using Text = std::string;

// The code page of every text of the program, on any Windows.
inline constexpr unsigned kTextCodePage = 936;

// True when the byte starts a two-byte character in code page 936: the
// rule of the program's own texts.
inline bool isLeadByte(unsigned char byte) { return byte >= 0x80; }

// The rule of a code page (GBK's unless another is given) as Windows'
// multibyte functions apply it.
bool isSystemLeadByte(unsigned char byte, unsigned codePage = kTextCodePage);

inline std::string_view textView(const char* text) { return text ? text : ""; }
inline std::string_view textView(std::string_view text) { return text; }

// The parts one after the other; an absent (null) part counts as empty.
template <typename... Parts>
Text joinText(const Parts&... parts) {
  Text joined;
  ((joined += textView(parts)), ...);
  return joined;
}

int textLength(std::string_view text);
Text leftText(std::string_view text, int count);

// 1-based position of the first occurrence at or after `start`, or -1.
// Steps character by character, so a match only begins on a character
// boundary; ignoreCase folds ASCII letters only (C-locale rules).
int findText(std::string_view text, std::string_view sought, int start, bool ignoreCase);
int findText(std::string_view text, std::string_view sought, bool ignoreCase = false);

// Strips leading and trailing 0x20 and full-width spaces (A1 A1).
Text trimSpaces(std::string_view text);

// strcmp ordering of unsigned bytes: -1, 0 or 1.
int compareText(std::string_view a, std::string_view b);
