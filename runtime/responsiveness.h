#pragma once
// Long work on the UI thread (taking in a large picture) without Windows
// showing the window as not responding: that happens after 5 s in which the
// thread has not looked at its message queue.
#include <windows.h>

// Looks at the queue, which is what the hang check watches, without taking
// input or yielding (PM_NOREMOVE | PM_NOYIELD). Only messages sent from
// other threads are handled meanwhile, as during any PeekMessage.
void answerHangCheck();

// Waits for the object (a thread of the caller's) while looking at the
// queue every 100 ms and answering messages sent from other threads, so
// that the wait counts as responding.
void waitAnsweringHangCheck(HANDLE object);

// The wait cursor for as long as the object lives; the previous cursor
// afterwards.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};
