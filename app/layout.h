#pragma once
// Layout data: what a window and its units look like, as plain values.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

enum class WindowId { Main, About, Busy };

struct Rect {
  int left, top, width, height;
};

enum class HorizontalAlign { Left, Center, Right };
enum class VerticalAlign { Top, Center, Bottom };

struct FontSpec {
  const char* face;
  int height;  // character height as a negative font height, as stored
  int width = 0;
  int weight = FW_NORMAL;
  bool italic = false, underline = false, strikeOut = false;
};

struct LabelLayout {
  const char* name;
  Rect rect;
  const char* text;
  FontSpec font;
  COLORREF textColor = RGB(0, 0, 0);
  std::optional<COLORREF> background;  // none: the button-face colour
  HorizontalAlign align = HorizontalAlign::Left;
  VerticalAlign verticalAlign = VerticalAlign::Top;
  bool wordWrap = false;
};

struct PictureBoxLayout {
  const char* name;
  Rect rect;
};

struct ProgressBarLayout {
  const char* name;
  Rect rect;
  int minimum = 0, maximum = 100, position = 0;
};

enum class MenuCommand { None, Start, ChoosePicture, About };

struct MenuItemLayout {
  const char* caption;  // "-" makes a separator
  MenuCommand command = MenuCommand::None;
};

struct PopupMenuLayout {
  const char* caption;  // the hidden top-level entry
  std::vector<MenuItemLayout> items;
};

// A drop-target unit's stored record: version, then the switches text,
// HTML, URL and files, each a little-endian 32-bit value.
struct DropTargetLayout {
  const char* name;
  std::vector<std::uint8_t> record;
};

struct WindowLayout {
  WindowId id;
  const char* className;
  const char* title;
  int width, height;  // outer size
  DWORD style;
  bool escapeCloses;
  std::optional<COLORREF> background;  // none: the button-face colour
  std::vector<LabelLayout> labels;
  std::optional<PictureBoxLayout> pictureBox;
  std::optional<ProgressBarLayout> progressBar;
  std::optional<PopupMenuLayout> popupMenu;
  bool hasFileDialog = false;
  std::optional<DropTargetLayout> dropTarget;  // on the picture box
};

const WindowLayout& layoutOf(WindowId id);
