#include "progress_bar.h"

#include <commctrl.h>

#include <algorithm>

ProgressBar::ProgressBar(HWND parent, const ProgressBarLayout& layout) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const Rect& r = layout.rect;
  hwnd_ = CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                          r.left, r.top, r.width, r.height, parent, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  SendMessageA(hwnd_, PBM_SETRANGE32, layout.minimum, layout.maximum);
  setPosition(layout.position);
}

void ProgressBar::setPosition(int position) {
  position_ = std::clamp(position, 0, 32767);
  // SendMessage from another thread waits until the UI thread has applied it.
  SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position_.load()), 0);
}
