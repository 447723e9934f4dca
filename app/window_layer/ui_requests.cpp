#include "ui_requests.h"

#include <commctrl.h>

#include "picture_box.h"
#include "progress_bar.h"
#include "window.h"

// SendMessage from another thread waits until the owning thread, which
// pumps messages, has carried the change out.
void showPicture(HWND pictureBox, const ByteBuffer& encoded) {
  SendMessageA(pictureBox, PictureBox::kSetPictureMessage, 0, reinterpret_cast<LPARAM>(&encoded));
}

void setProgressPosition(HWND progressBar, int position) {
  ProgressBar::storePosition(progressBar, position);
  SendMessageA(progressBar, PBM_SETPOS, static_cast<WPARAM>(ProgressBar::storedPosition(progressBar)), 0);
}

void requestClose(HWND window) {
  if (IsWindow(window)) PostMessageA(window, Window::kDestroyRequest, 0, 0);
}
