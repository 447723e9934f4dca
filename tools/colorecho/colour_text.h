#pragma once
// colorecho's text: plain runs, {XY} colour changes (X background, Y
// foreground, hexadecimal), {#} back to the starting colour and {\n}.
// In UTF-16, as Windows hands the command line over.
#include <string>
#include <vector>

struct ColourPiece {
  enum Kind { Text, SetColour, Restore, NewLine } kind;
  std::wstring text;             // for Text
  unsigned short attribute = 0;  // for SetColour
};

std::vector<ColourPiece> parseColourText(const std::wstring& line);

// The command line after the program's own name and the blank after it.
std::wstring argumentText(const wchar_t* commandLine);
