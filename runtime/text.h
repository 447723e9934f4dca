#pragma once
// Text services. A text is a byte string in code page 936; lengths and
// positions count bytes and positions start at 1. An absent text and an
// empty one are the same value, so std::string's empty state stands for both.
#include <string>
#include <string_view>

using Text = std::string;

// True when the byte starts a two-byte character in code page 936: the
// rule of the program's own texts.
inline bool isLeadByte(unsigned char byte) { return byte >= 0x80; }

// The rule of the system's code page (CP_ACP, 0, unless another is given)
// for texts that come from the system, such as paths: the platform's own
// multibyte functions step that way, also on a system set to UTF-8 or to a
// single-byte code page.
bool isSystemLeadByte(unsigned char byte, unsigned codePage = 0);

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
