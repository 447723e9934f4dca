#pragma once
// The program's texts are GBK (code page 936) on every Windows, whatever
// its own code page (936, 65001 with the "worldwide language support"
// option, 1252 ...); Windows is called with UTF-16. Texts cross here.
#include <optional>
#include <string>
#include <string_view>

#include "text.h"

// The UTF-16 form of a GBK text (embedded zero bytes kept).
std::wstring widen(std::string_view text);
// The GBK form of a UTF-16 text; a character that has none becomes "?",
// never a look-alike.
Text narrow(std::wstring_view text);
// The GBK form, when every character has one.
std::optional<Text> narrowExactly(std::wstring_view text);
