#include "text.h"

#include <windows.h>

#include <algorithm>

namespace {

unsigned char asciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool bytesMatch(std::string_view text, size_t at, std::string_view sought, bool ignoreCase) {
  for (size_t k = 0; k < sought.size(); ++k) {
    auto a = static_cast<unsigned char>(text[at + k]);
    auto b = static_cast<unsigned char>(sought[k]);
    if (ignoreCase ? asciiLower(a) != asciiLower(b) : a != b) return false;
  }
  return true;
}

bool isFullWidthSpace(std::string_view text, size_t at) {
  return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xA1 &&
         static_cast<unsigned char>(text[at + 1]) == 0xA1;
}

// Byte length of the character that starts at `at` (1 for a lone lead
// byte at the end of the text).
size_t characterLength(std::string_view text, size_t at) {
  return (isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) ? 2 : 1;
}

}  // namespace

int textLength(std::string_view text) { return static_cast<int>(text.size()); }

Text leftText(std::string_view text, int count) {
  if (count <= 0) return {};
  return Text(text.substr(0, static_cast<size_t>(count)));
}

int findText(std::string_view text, std::string_view sought, int start, bool ignoreCase) {
  const size_t length = text.size();
  const size_t regionStart = start - 1 < 0 ? 0 : static_cast<size_t>(start - 1);
  const bool regionEmpty = regionStart >= length;
  if (sought.empty()) return regionEmpty ? -1 : 1;
  size_t at = regionStart;
  while (!regionEmpty && length - at >= sought.size()) {
    if (bytesMatch(text, at, sought, ignoreCase)) return static_cast<int>(at + 1);
    if (isLeadByte(static_cast<unsigned char>(text[at]))) {
      if (at + 1 >= length) break;  // a two-byte character cut off by the end
      at += 2;
    } else {
      at += 1;
    }
    if (at > length) break;
  }
  return -1;
}

int findText(std::string_view text, std::string_view sought, bool ignoreCase) {
  return findText(text, sought, 1, ignoreCase);
}

Text trimSpaces(std::string_view text) {
  size_t first = 0;
  while (first < text.size()) {
    if (text[first] == ' ') first += 1;
    else if (isFullWidthSpace(text, first)) first += 2;
    else break;
  }
  // Walk forward so that the end of a two-byte character is never taken
  // for part of a full-width space.
  size_t end = first;
  for (size_t at = first; at < text.size();) {
    size_t step = isFullWidthSpace(text, at) ? 2 : text[at] == ' ' ? 1 : characterLength(text, at);
    bool isSpace = text[at] == ' ' || isFullWidthSpace(text, at);
    at += step;
    if (!isSpace) end = at;
  }
  return Text(text.substr(first, end - first));
}

int compareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t k = 0; k < common; ++k) {
    auto x = static_cast<unsigned char>(a[k]);
    auto y = static_cast<unsigned char>(b[k]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool isSystemLeadByte(unsigned char byte, unsigned codePage) {
  return IsDBCSLeadByteEx(codePage, byte) != FALSE;
}
