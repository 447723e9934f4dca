#pragma once
// Changes to the units from any thread, by window handle: the build worker
// holds no window object. Each is carried out by the UI thread that owns
// the window; the worker's messages reach it while it pumps a modal loop.
// The units answer the messages named here; this file knows no unit.
#include <windows.h>

#include "byte_buffer.h"
#include "picture_decoder.h"
#include "text.h"

// The messages that carry the requests to the owning thread.
inline constexpr UINT kDestroyRequest = WM_APP + 1;       // a window destroys itself
inline constexpr UINT kSetPictureMessage = WM_APP + 10;  // lParam: the const ByteBuffer*
inline constexpr UINT kSessionHoldMessage = WM_APP + 11;  // lParam: the const Text* reason
inline constexpr UINT kSetDecodedPictureMessage = WM_APP + 12;  // lParam: the DecodedPictureRequest*

struct DecodedPictureRequest {
  const ByteBuffer& encoded;
  DecodedPicture& decoded;  // taken over by the picture box
};

// Sent: the picture box shows the encoded picture (or none, for empty
// bytes) by the time the call returns.
void showPicture(HWND pictureBox, const ByteBuffer& encoded);
// The same with the picture already decoded from those bytes (on the
// caller's time), which the box takes over instead of decoding them again.
void showDecodedPicture(HWND pictureBox, const ByteBuffer& encoded, DecodedPicture& decoded);
// Sent: the progress bar's position, stored limited to 0…32767 and shown
// limited to its range, by the time the call returns.
void setProgressPosition(HWND progressBar, int position);
// The position as last stored, kept with the bar itself.
int progressPosition(HWND progressBar);
// Posted: the window is destroyed by its own thread later, without its
// may-close event. Harmless for a window that is gone.
void requestClose(HWND window);
// Sent: while Windows logs off or shuts down, it is asked to wait for this
// top-level window, showing the reason; an empty reason withdraws the
// request. (Only the window's own thread may ask.)
void holdSessionEnd(HWND window, const Text& reason);
