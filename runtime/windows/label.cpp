#include "label.h"

#include "wide_text.h"

namespace {
constexpr char kLabelClass[] = "TarvexForgeLabel";

HFONT fontFor(const FontSpec& font) {
  return CreateFontW(font.height, font.width, 0, 0, font.weight, font.italic, font.underline,
                     font.strikeOut, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, widen(font.face).c_str());
}
}  // namespace

UINT labelDrawFlags(const LabelLayout& layout) {
  UINT flags = DT_NOPREFIX;
  switch (layout.align) {
    case HorizontalAlign::Left: flags |= DT_LEFT; break;
    case HorizontalAlign::Center: flags |= DT_CENTER; break;
    case HorizontalAlign::Right: flags |= DT_RIGHT; break;
  }
  if (layout.wordWrap) return flags | DT_WORDBREAK;
  flags |= DT_SINGLELINE;
  switch (layout.verticalAlign) {
    case VerticalAlign::Top: return flags | DT_TOP;
    case VerticalAlign::Center: return flags | DT_VCENTER;
    case VerticalAlign::Bottom: return flags | DT_BOTTOM;
  }
  return flags;
}

Label::Label(HWND parent, const LabelLayout& layout) : layout_(layout), font_(fontFor(layout.font)) {
  registerClass(kLabelClass, nullptr);
  const Rect& r = layout.rect;
  create(0, kLabelClass, layout.text, WS_CHILD | WS_VISIBLE, r.left, r.top, r.width, r.height,
         parent, nullptr);
}

LRESULT Label::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_PAINT: return paintNow();
    default: return defaultHandling(message, wParam, lParam);
  }
}

void Label::paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  if (layout_.background) {
    const GdiObject<HBRUSH> background(CreateSolidBrush(*layout_.background));
    FillRect(dc, &client, background.get());
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));  // a system brush: never deleted
  }
  const SelectedObject font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, layout_.textColor);
  const std::wstring text = widen(layout_.text);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, labelDrawFlags(layout_));
}
