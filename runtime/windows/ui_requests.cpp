#include "ui_requests.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace {
constexpr wchar_t kStoredPosition[] = L"TarvexForge.position";
}  // namespace

// SendMessage from another thread waits until the owning thread, which
// pumps messages, has carried the change out.
void showPicture(HWND pictureBox, const ByteBuffer& encoded) {
  SendMessageW(pictureBox, kSetPictureMessage, 0, reinterpret_cast<LPARAM>(&encoded));
}

void showDecodedPicture(HWND pictureBox, const ByteBuffer& encoded, DecodedPicture& decoded) {
  DecodedPictureRequest request{encoded, decoded};
  SendMessageW(pictureBox, kSetDecodedPictureMessage, 0, reinterpret_cast<LPARAM>(&request));
}

void setProgressPosition(HWND progressBar, int position) {
  const int stored = std::clamp(position, 0, 32767);
  SetPropW(progressBar, kStoredPosition, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(stored)));
  SendMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(stored), 0);
}

int progressPosition(HWND progressBar) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(GetPropW(progressBar, kStoredPosition)));
}

void holdSessionEnd(HWND window, const Text& reason) {
  SendMessageW(window, kSessionHoldMessage, 0, reinterpret_cast<LPARAM>(&reason));
}

void requestClose(HWND window) {
  if (IsWindow(window)) PostMessageW(window, kDestroyRequest, 0, 0);
}
