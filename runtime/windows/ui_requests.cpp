#include "ui_requests.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace {
constexpr char kStoredPosition[] = "TarvexForge.position";
}  // namespace

// SendMessage from another thread waits until the owning thread, which
// pumps messages, has carried the change out.
void showPicture(HWND pictureBox, const ByteBuffer& encoded) {
  SendMessageA(pictureBox, kSetPictureMessage, 0, reinterpret_cast<LPARAM>(&encoded));
}

void setProgressPosition(HWND progressBar, int position) {
  const int stored = std::clamp(position, 0, 32767);
  SetPropA(progressBar, kStoredPosition, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(stored)));
  SendMessageA(progressBar, PBM_SETPOS, static_cast<WPARAM>(stored), 0);
}

int progressPosition(HWND progressBar) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(GetPropA(progressBar, kStoredPosition)));
}

void requestClose(HWND window) {
  if (IsWindow(window)) PostMessageA(window, kDestroyRequest, 0, 0);
}
