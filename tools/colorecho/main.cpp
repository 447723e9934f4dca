// colorecho: writes its command line's text with console colours.
//   colorecho text {0a}green{#} back{\n}
// {XY} sets the colour (X background, Y foreground, hexadecimal), {#}
// restores the colour in force at start, {\n} ends the line; nothing else
// does. A colour left set stays after the program ends. The command line
// is read in UTF-16 and written to a console as such, so that no code page
// garbles a path in it.
#include <windows.h>

#include <string>

#include "colour_text.h"

namespace {

// Into a console as UTF-16; into a file or pipe in the console's code page.
void write(HANDLE out, bool console, const std::wstring& text) {
  DWORD written = 0;
  if (console) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const UINT codePage = GetConsoleOutputCP() ? GetConsoleOutputCP() : GetOEMCP();
  const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int main() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  const bool console = GetConsoleScreenBufferInfo(out, &info) != 0;
  const WORD start = console ? info.wAttributes : 0x07;
  for (const ColourPiece& piece : parseColourText(argumentText(GetCommandLineW()))) {
    switch (piece.kind) {
      case ColourPiece::Text: write(out, console, piece.text); break;
      case ColourPiece::NewLine: write(out, console, L"\r\n"); break;
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
