#pragma once
// The program's three windows, laid out as designed, and the commands of
// the main window's popup menu.
#include "layout.h"

enum class WindowId { Main, About, Busy };

namespace MenuCommand {
enum : int { Start = 1, ChoosePicture, About };
}

const WindowLayout& layoutOf(WindowId id);
