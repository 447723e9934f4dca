#pragma once
// Layout data: what a window and its units look like, as plain values
// (written with designated initialisers, so that a layout reads as data).
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

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
  std::optional<COLORREF> background{};  // none: the button-face colour
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

struct MenuItemLayout {
  const char* caption;  // "-" makes a separator
  int command = 0;      // what choosing it raises (see WindowEvents)
};

struct PopupMenuLayout {
  const char* caption;  // the hidden top-level entry
  std::vector<MenuItemLayout> items;
};

// A drop-target unit's stored record: version, then the switches text,
// HTML, URL and files, each a little-endian 32-bit value. The layer keeps it
// as data; the program's drop target reads it.
struct DropTargetLayout {
  const char* name;
  std::vector<std::uint8_t> record;
};

struct WindowLayout {
  const char* className;
  const char* title;
  int width, height;  // outer size
  DWORD style;
  bool escapeCloses;
  std::optional<COLORREF> background{};  // none: the button-face colour
  const char* icon = nullptr;            // icon resource, shown big and small
  std::vector<LabelLayout> labels{};
  std::optional<PictureBoxLayout> pictureBox{};
  std::optional<ProgressBarLayout> progressBar{};
  std::optional<PopupMenuLayout> popupMenu{};
  bool hasFileDialog = false;
  std::optional<DropTargetLayout> dropTarget{};  // on the picture box
};
