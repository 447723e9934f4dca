#pragma once
// A label that draws itself by the layout's rules: its own font with the
// default character set and proof quality, DT_NOPREFIX, word wrap or one
// line with vertical alignment.
#include "gdi_owners.h"
#include "layout.h"
#include "window_base.h"

// DrawText flags for a label's alignment and wrapping.
UINT labelDrawFlags(const LabelLayout& layout);

class Label : public WindowBase {
 public:
  Label(HWND parent, const LabelLayout& layout);
  const LabelLayout& layout() const { return layout_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint(HDC dc) override;
  LabelLayout layout_;
  GdiObject<HFONT> font_;
};
