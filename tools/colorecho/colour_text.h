#pragma once
// colorecho's text: plain runs, {XY} colour changes (X background, Y
// foreground, hexadecimal), {#} back to the starting colour and {\n}.
#include <string>
#include <vector>

struct ColourPiece {
  enum Kind { Text, SetColour, Restore, NewLine } kind;
  std::string text;    // for Text
  unsigned short attribute = 0;  // for SetColour
};

std::vector<ColourPiece> parseColourText(const std::string& line);

// The command line after the program's own name and the blank after it.
std::string argumentText(const char* commandLine);
