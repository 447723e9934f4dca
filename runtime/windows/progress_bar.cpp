#include "progress_bar.h"

#include <commctrl.h>

#include "common_controls.h"
#include "ui_requests.h"

ProgressBar::ProgressBar(HWND parent, const ProgressBarLayout& layout) {
  initCommonControls(ICC_PROGRESS_CLASS);
  const Rect& r = layout.rect;
  hwnd_ = CreateWindowExW(WS_EX_STATICEDGE, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH,
                          r.left, r.top, r.width, r.height, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd_, PBM_SETRANGE32, layout.minimum, layout.maximum);
  setPosition(layout.position);
}

void ProgressBar::setPosition(int position) { setProgressPosition(hwnd_, position); }

int ProgressBar::position() const { return progressPosition(hwnd_); }
