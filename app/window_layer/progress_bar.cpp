#include "progress_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "ui_requests.h"

namespace {
constexpr char kStoredPosition[] = "TarvexForge.position";
}  // namespace

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

void ProgressBar::setPosition(int position) { setProgressPosition(hwnd_, position); }

int ProgressBar::storedPosition(HWND bar) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(GetPropA(bar, kStoredPosition)));
}

void ProgressBar::storePosition(HWND bar, int position) {
  SetPropA(bar, kStoredPosition, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(std::clamp(position, 0, 32767))));
}
