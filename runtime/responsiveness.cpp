#include "responsiveness.h"

void answerHangCheck() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_); }
