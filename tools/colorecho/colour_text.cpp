#include "colour_text.h"

#include <cctype>

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

void addText(std::vector<ColourPiece>& pieces, const std::string& text) {
  if (!pieces.empty() && pieces.back().kind == ColourPiece::Text) pieces.back().text += text;
  else pieces.push_back({ColourPiece::Text, text});
}

}  // namespace

std::vector<ColourPiece> parseColourText(const std::string& line) {
  std::vector<ColourPiece> pieces;
  for (std::size_t at = 0; at < line.size();) {
    if (line.compare(at, 3, "{#}") == 0) {
      pieces.push_back({ColourPiece::Restore, ""});
      at += 3;
    } else if (line.compare(at, 4, "{\\n}") == 0) {
      pieces.push_back({ColourPiece::NewLine, ""});
      at += 4;
    } else if (line[at] == '{' && at + 3 < line.size() && line[at + 3] == '}' &&
               hexValue(line[at + 1]) >= 0 && hexValue(line[at + 2]) >= 0) {
      const auto attribute = static_cast<unsigned short>(hexValue(line[at + 1]) * 16 + hexValue(line[at + 2]));
      pieces.push_back({ColourPiece::SetColour, "", attribute});
      at += 4;
    } else {
      // Two-byte characters are passed whole (their second byte may be "{").
      const std::size_t length = (static_cast<unsigned char>(line[at]) >= 0x80 && at + 1 < line.size()) ? 2 : 1;
      addText(pieces, line.substr(at, length));
      at += length;
    }
  }
  return pieces;
}

std::string argumentText(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {  // a quoted program name
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  if (*p == ' ' || *p == '\t') ++p;
  return p;
}
