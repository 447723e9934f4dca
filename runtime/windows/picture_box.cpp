#include "picture_box.h"

#include "picture_decoder.h"
#include "picture_fit.h"
#include "ui_requests.h"

namespace {
constexpr char kPictureBoxClass[] = "TarvexForgePictureBox";

// Ctrl 1, Shift 2, Alt 4, added.
int keyState(WPARAM mouseKeys) {
  return ((mouseKeys & MK_CONTROL) ? 1 : 0) | ((mouseKeys & MK_SHIFT) ? 2 : 0) |
         ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}
}  // namespace

PictureBox::PictureBox(HWND parent, const PictureBoxLayout& layout) {
  registerClass(kPictureBoxClass, GetSysColorBrush(COLOR_BTNFACE));
  const Rect& r = layout.rect;
  create(0, kPictureBoxClass, layout.name, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_CLIPSIBLINGS,
         r.left, r.top, r.width, r.height, parent, nullptr);
}

void PictureBox::setPicture(const ByteBuffer& encoded) { showPicture(hwnd(), encoded); }

void PictureBox::applyPicture(const ByteBuffer& encoded, DecodedPicture decoded) {
  bitmap_ = std::move(decoded.bitmap);
  width_ = decoded.width;
  height_ = decoded.height;
  encoded_ = encoded;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

Rect PictureBox::drawnRect() const {
  if (!bitmap_) return {0, 0, 0, 0};
  RECT client;
  GetClientRect(hwnd(), &client);
  return fitPicture(width_, height_, client.right, client.bottom);
}

LRESULT PictureBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSetPictureMessage: {
      const ByteBuffer& encoded = *reinterpret_cast<const ByteBuffer*>(lParam);
      applyPicture(encoded, decodePicture(encoded));
      return 0;
    }
    case kSetDecodedPictureMessage: {
      auto& request = *reinterpret_cast<DecodedPictureRequest*>(lParam);
      applyPicture(request.encoded, std::move(request.decoded));
      return 0;
    }
    case WM_RBUTTONUP:
      if (onRightButtonUp)
        onRightButtonUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                        keyState(wParam));
      return 0;
    case WM_PAINT: return paintNow();
    default: return defaultHandling(message, wParam, lParam);
  }
}

void PictureBox::paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (!bitmap_) return;
  const Rect target = drawnRect();
  MemoryDc source(CreateCompatibleDC(dc));
  const SelectedObject selected(source.get(), bitmap_.get());
  SetStretchBltMode(dc, GetDeviceCaps(dc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, target.left, target.top, target.width, target.height, source.get(), 0, 0, width_,
             height_, SRCCOPY);
}
