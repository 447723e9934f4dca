// colorecho: writes its command line's text with console colours.
//   colorecho text {0a}green{#} back{\n}
// {XY} sets the colour (X background, Y foreground, hexadecimal), {#}
// restores the colour in force at start, {\n} ends the line; nothing else
// does. A colour left set stays after the program ends.
#include <windows.h>

#include "colour_text.h"

int main() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  const bool console = GetConsoleScreenBufferInfo(out, &info) != 0;
  const WORD start = console ? info.wAttributes : 0x07;
  for (const ColourPiece& piece : parseColourText(argumentText(GetCommandLineA()))) {
    DWORD written = 0;
    switch (piece.kind) {
      case ColourPiece::Text:
        WriteFile(out, piece.text.data(), static_cast<DWORD>(piece.text.size()), &written, nullptr);
        break;
      case ColourPiece::NewLine: WriteFile(out, "\r\n", 2, &written, nullptr); break;
      case ColourPiece::SetColour:
        if (console) SetConsoleTextAttribute(out, piece.attribute);
        break;
      case ColourPiece::Restore:
        if (console) SetConsoleTextAttribute(out, start);
        break;
    }
  }
  return 0;
}
