#include "test_windows.h"

const WindowLayout& unitsWindowLayout() {
  static const WindowLayout layout{
      .className = "TestUnitsWindow",
      .title = "units",
      .width = 555,
      .height = 406,
      .style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
      .escapeCloses = false,
      .pictureBox = PictureBoxLayout{.name = "picture", .rect = {2, 0, 545, 355}},
      .progressBar = ProgressBarLayout{.name = "progress", .rect = {2, 359, 545, 15}, .position = 100},
      .hasFileDialog = true,
  };
  return layout;
}

const WindowLayout& modalWindowLayout() {
  static const WindowLayout layout{
      .className = "TestModalWindow",
      .title = "",
      .width = 295,
      .height = 130,
      .style = WS_POPUP | WS_CLIPCHILDREN,
      .escapeCloses = true,
  };
  return layout;
}

Window* unitsWindow() { return openWindow(unitsWindowLayout()); }

HWND unitsPictureBox() { return unitsWindow() ? windowHandle(unitsWindow()->pictureBox()) : nullptr; }

HWND unitsProgressBar() { return unitsWindow() ? windowHandle(unitsWindow()->progressBar()) : nullptr; }
