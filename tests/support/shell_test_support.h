#pragma once
// Helpers for in-process tests of the window layer.
#include <windows.h>

#include "byte_buffer.h"

// Dispatches this thread's messages for about `ms` milliseconds.
void pumpMessagesFor(DWORD ms);
// An uncompressed 24-bit BMP file of one colour.
ByteBuffer solidBmp(int width, int height, COLORREF colour);
// The colour on screen at a point of a window's client area.
COLORREF pixelAt(HWND window, int x, int y);
