#pragma once
// The picture box's own decoder (GDI+): encoded image bytes to a bitmap.
#include <windows.h>

#include "byte_buffer.h"

struct DecodedPicture {
  HBITMAP bitmap = nullptr;  // owned by the caller
  int width = 0, height = 0;
};

// An empty result for empty or undecodable bytes.
DecodedPicture decodePicture(const ByteBuffer& encoded);
