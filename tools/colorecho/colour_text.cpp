#include "colour_text.h"

namespace {

int hexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

void addText(std::vector<ColourPiece>& pieces, wchar_t c) {
  if (!pieces.empty() && pieces.back().kind == ColourPiece::Text) pieces.back().text += c;
  else pieces.push_back({ColourPiece::Text, std::wstring(1, c)});
}

}  // namespace

std::vector<ColourPiece> parseColourText(const std::wstring& line) {
  std::vector<ColourPiece> pieces;
  for (std::size_t at = 0; at < line.size();) {
    if (line.compare(at, 3, L"{#}") == 0) {
      pieces.push_back({ColourPiece::Restore, L""});
      at += 3;
    } else if (line.compare(at, 4, L"{\\n}") == 0) {
      pieces.push_back({ColourPiece::NewLine, L""});
      at += 4;
    } else if (line[at] == L'{' && at + 3 < line.size() && line[at + 3] == L'}' &&
               hexValue(line[at + 1]) >= 0 && hexValue(line[at + 2]) >= 0) {
      const auto attribute = static_cast<unsigned short>(hexValue(line[at + 1]) * 16 + hexValue(line[at + 2]));
      pieces.push_back({ColourPiece::SetColour, L"", attribute});
      at += 4;
    } else {
      addText(pieces, line[at++]);
    }
  }
  return pieces;
}

std::wstring argumentText(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {  // a quoted program name
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  if (*p == L' ' || *p == L'\t') ++p;
  return p;
}
