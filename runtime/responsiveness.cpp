#include "responsiveness.h"

void answerHangCheck() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
}

void waitAnsweringHangCheck(HANDLE object) {
  while (MsgWaitForMultipleObjects(1, &object, FALSE, 100, QS_SENDMESSAGE) != WAIT_OBJECT_0) answerHangCheck();
}

WaitCursor::WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)))) {}

WaitCursor::~WaitCursor() { SetCursor(previous_); }
