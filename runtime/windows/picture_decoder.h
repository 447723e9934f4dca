#pragma once
// The picture box's own decoder (GDI+): encoded image bytes to a bitmap.
#include <windows.h>

#include "byte_buffer.h"
#include "gdi_owners.h"

struct DecodedPicture {
  GdiObject<HBITMAP> bitmap;
  int width = 0, height = 0;
};

// An empty result for empty or undecodable bytes.
DecodedPicture decodePicture(const ByteBuffer& encoded);
