#pragma once
// The picture box: a thin border, the button-face colour, and a picture
// given as encoded bytes, decoded on set and drawn centred, shrunk to fit.
#include "byte_buffer.h"
#include "gdi_owners.h"
#include "layout.h"
#include "picture_decoder.h"
#include "window_base.h"

class PictureBox : public WindowBase {
 public:
  PictureBox(HWND parent, const PictureBoxLayout& layout);

  // Setting decodes and shows at once; empty bytes remove the picture.
  // Safe from any thread (showPicture).
  void setPicture(const ByteBuffer& encoded);
  // The bytes last set (UI thread).
  ByteBuffer picture() const { return encoded_; }
  // Where the current picture is drawn in the client area (empty: none).
  Rect drawnRect() const;

  void (*onRightButtonUp)(int x, int y, int keys) = nullptr;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void applyPicture(const ByteBuffer& encoded, DecodedPicture decoded);
  void paint(HDC dc) override;
  ByteBuffer encoded_;
  GdiObject<HBITMAP> bitmap_;
  int width_ = 0, height_ = 0;
};
