#pragma once
// Changes to the units from any thread, by window handle: the build worker
// holds no window object. Each is carried out by the UI thread that owns
// the window; the worker's messages reach it while it pumps a modal loop.
#include <windows.h>

#include "byte_buffer.h"

// Sent: the picture box shows the encoded picture (or none, for empty
// bytes) by the time the call returns.
void showPicture(HWND pictureBox, const ByteBuffer& encoded);
// Sent: the progress bar's position, stored limited to 0…32767 and shown
// limited to its range, by the time the call returns.
void setProgressPosition(HWND progressBar, int position);
// Posted: the window is destroyed by its own thread later, without its
// may-close event. Harmless for a window that is gone.
void requestClose(HWND window);
