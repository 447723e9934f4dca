#include "responsiveness.h"

void answerHangCheck() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_); }
