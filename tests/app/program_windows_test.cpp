#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "shell_test_support.h"
#include "program_windows.h"
#include "ui_requests.h"

namespace {

RECT outerRect(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

// Whether the main window was enabled when the busy window began to go
// (its hiding, the moment Windows picks the window to activate).
HWND watchedMain = nullptr;
int mainEnabledAtBusyHide = -1;
LRESULT CALLBACK watchBusyHide(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING && call->hwnd == windowHandle(WindowId::Busy) &&
      (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_HIDEWINDOW) && mainEnabledAtBusyHide < 0)
    mainEnabledAtBusyHide = IsWindowEnabled(watchedMain) ? 1 : 0;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(ModalWindow, DisablesTheOthersUntilClosedByEscapeThenRestoresThem) {
  ASSERT_TRUE(loadWindow(WindowId::Main));
  HWND main = windowHandle(WindowId::Main);
  std::atomic<bool> mainDisabledWhileModal{false}, busyFound{false};
  RECT busyRect{};
  LONG busyStyle = 0;
  std::thread user([&] {
    HWND busy = nullptr;
    for (int i = 0; i < 200 && !(busy = windowHandle(WindowId::Busy)); ++i) Sleep(20);
    if (!busy) return;
    Sleep(200);
    busyFound = true;
    busyRect = outerRect(busy);
    busyStyle = GetWindowLongA(busy, GWL_STYLE);
    mainDisabledWhileModal = !IsWindowEnabled(main);
    PostMessageA(busy, WM_KEYDOWN, VK_ESCAPE, 1);  // Esc closes the busy window
  });
  watchedMain = main;
  mainEnabledAtBusyHide = -1;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watchBusyHide, nullptr, GetCurrentThreadId());
  loadWindow(WindowId::Busy, nullptr, true);  // returns once it is destroyed
  UnhookWindowsHookEx(hook);
  user.join();
  ASSERT_TRUE(busyFound);
  EXPECT_TRUE(mainDisabledWhileModal);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(mainEnabledAtBusyHide, 1) << "enabled only after the busy window had gone";
  EXPECT_EQ(windowHandle(WindowId::Busy), nullptr);
  EXPECT_EQ(busyRect.right - busyRect.left, 295);
  EXPECT_EQ(busyRect.bottom - busyRect.top, 130);
  EXPECT_EQ(busyRect.left, (GetSystemMetrics(SM_CXSCREEN) - 295) / 2);
  EXPECT_EQ(busyStyle & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
  closeWindow(WindowId::Main, true);
}

namespace {

// Makes the next window created on this thread fail after WM_NCCREATE, as
// a window whose WM_CREATE fails does.
WNDPROC classProcedure = nullptr;
LRESULT CALLBACK failCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return -1;
  return CallWindowProcA(classProcedure, window, message, wParam, lParam);
}
LRESULT CALLBACK subclassNewWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && !classProcedure) {
    HWND window = reinterpret_cast<HWND>(wParam);
    classProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(failCreation)));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// The window object is freed once, by its last message, and the layout can
// be loaded again.
TEST(ModalWindow, AWindowWhoseCreationFailsLateIsFreedOnceAndCanBeLoadedAgain) {
  for (int round = 0; round < 20; ++round) {
    classProcedure = nullptr;
    HHOOK hook = SetWindowsHookExA(WH_CBT, subclassNewWindow, nullptr, GetCurrentThreadId());
    EXPECT_FALSE(loadWindow(WindowId::About));
    UnhookWindowsHookEx(hook);
    ASSERT_NE(classProcedure, nullptr);
    EXPECT_EQ(windowHandle(WindowId::About), nullptr);
    ASSERT_TRUE(loadWindow(WindowId::About));
    closeWindow(WindowId::About, true);
  }
}

TEST(ModalWindow, AWindowAlreadyOpenIsNotMadeTwice) {
  ASSERT_TRUE(loadWindow(WindowId::About));
  HWND first = windowHandle(WindowId::About);
  ASSERT_TRUE(loadWindow(WindowId::About));
  EXPECT_EQ(windowHandle(WindowId::About), first);
  closeWindow(WindowId::About, true);
  EXPECT_EQ(windowHandle(WindowId::About), nullptr);
}

TEST(ModalWindow, ClosingAGoneWindowFromAWorkerIsHarmless) {
  ASSERT_TRUE(loadWindow(WindowId::Busy));
  HWND gone = windowHandle(WindowId::Busy);
  closeWindow(WindowId::Busy, true);
  std::thread worker([gone] { requestClose(gone); });
  worker.join();
  EXPECT_EQ(windowHandle(WindowId::Busy), nullptr);
}

TEST(CloseWindow, PostsARequestThatTheOwningThreadCarriesOut) {
  ASSERT_TRUE(loadWindow(WindowId::About));
  HWND about = windowHandle(WindowId::About);
  std::thread worker([about] { requestClose(about); });
  worker.join();
  EXPECT_NE(windowHandle(WindowId::About), nullptr);  // not yet: it was posted
  pumpMessagesFor(100);
  EXPECT_EQ(windowHandle(WindowId::About), nullptr);
}

TEST(BusyWindow, TextIsCentredVerticallyInItsLabel) {
  ASSERT_TRUE(loadWindow(WindowId::Busy));
  Window* busy = openWindow(WindowId::Busy);
  ASSERT_NE(busy, nullptr);
  HWND label = busy->labels().front()->hwnd();
  UpdateWindow(label);
  pumpMessagesFor(100);
  RECT client;
  GetClientRect(label, &client);
  ASSERT_EQ(client.bottom, 56);
  const COLORREF blue = RGB(128, 128, 255);
  int firstInk = -1, lastInk = -1;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; x += 1)
      if (pixelAt(label, x, y) != blue) {
        if (firstInk < 0) firstInk = y;
        lastInk = y;
        break;
      }
  ASSERT_GE(firstInk, 0) << "no text drawn";
  const int aboveText = firstInk, belowText = client.bottom - 1 - lastInk;
  EXPECT_LE(std::abs(aboveText - belowText), 6) << firstInk << ".." << lastInk;
  EXPECT_EQ(pixelAt(busy->hwnd(), 3, 3), blue);  // the window's own background
  closeWindow(WindowId::Busy, true);
}

TEST(BusyWindow, ASecondWindowOfTheSameLayoutStillPaintsItsBackground) {
  // The first window's brush must not be what the window class keeps.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(loadWindow(WindowId::Busy));
    Window* busy = openWindow(WindowId::Busy);
    UpdateWindow(busy->hwnd());
    pumpMessagesFor(100);
    EXPECT_EQ(pixelAt(busy->hwnd(), 3, 3), RGB(128, 128, 255)) << "round " << round;
    closeWindow(WindowId::Busy, true);
  }
}
