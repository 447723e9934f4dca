// The main window with the program's handlers: its shortened frame, the
// start item's rule and the progress bar's.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <thread>

#include "drop_target.h"
#include "main_window.h"
#include "main_window_fixture.h"

TEST_F(MainWindowTest, StartIsEnabledExactlyWhenThePictureBoxHoldsBytes) {
  MenuItem* start = main->popupMenu()->item(MenuCommand::Start);
  updateStartItem();
  EXPECT_TRUE(start->disabled);
  main->pictureBox()->setPicture(solidBmp(4, 4, RGB(1, 2, 3)));
  updateStartItem();
  EXPECT_FALSE(start->disabled);
  main->pictureBox()->setPicture(ByteBuffer());
  updateStartItem();
  EXPECT_TRUE(start->disabled);
}

TEST_F(MainWindowTest, MainWindowIsShortenedKeepingItsCentredTop) {
  RECT outer;
  GetWindowRect(main->hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, 555);
  EXPECT_EQ(outer.bottom - outer.top, 406);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 555) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 436) / 2);
  EXPECT_EQ(GetMenu(main->hwnd()), nullptr);
  // The program's icon, loaded at 32 and 16 pixels.
  for (auto [kind, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(main->hwnd(), WM_GETICON, kind, 0));
    ICONINFO info{};
    ASSERT_TRUE(icon && GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

TEST_F(MainWindowTest, ProgressPositionIsStoredLimitedAndShownInRange) {
  ProgressBar* bar = main->progressBar();
  EXPECT_EQ(bar->position(), 100);
  EXPECT_EQ(SendMessageA(bar->hwnd(), PBM_GETPOS, 0, 0), 100);
  EXPECT_TRUE(GetWindowLongA(bar->hwnd(), GWL_STYLE) & PBS_SMOOTH);
  EXPECT_TRUE(GetWindowLongA(bar->hwnd(), GWL_EXSTYLE) & WS_EX_STATICEDGE);
  showProgress(40000);
  EXPECT_EQ(bar->position(), 32767);
  EXPECT_EQ(SendMessageA(bar->hwnd(), PBM_GETPOS, 0, 0), 100);
  showProgress(-5);
  EXPECT_EQ(bar->position(), 0);
  EXPECT_EQ(SendMessageA(bar->hwnd(), PBM_GETPOS, 0, 0), 0);
  int seen = -1;
  std::thread worker([&] {  // from the build worker: applied before it returns
    showProgress(75);
    seen = static_cast<int>(SendMessageA(bar->hwnd(), PBM_GETPOS, 0, 0));
  });
  for (int i = 0; i < 100 && seen < 0; ++i) pumpMessagesFor(10);
  worker.join();
  EXPECT_EQ(seen, 75);
}

// initMainWindow attaches 拖放对象1: the picture box already has a drop
// target. (That the window revokes it as it goes: window_layer_tests and
// drop_target's tests.)
TEST(MainWindowDropTarget, ThePictureBoxIsRegisteredWhenTheMainWindowIsCreated) {
  OleInitialize(nullptr);
  ASSERT_TRUE(loadWindow(WindowId::Main));
  HWND box = openWindow(WindowId::Main)->pictureBox()->hwnd();
  auto* probe = new EDropTarget({false, false, false, true}, box, nullptr);
  EXPECT_EQ(RegisterDragDrop(box, probe), DRAGDROP_E_ALREADYREGISTERED);
  probe->Release();
  closeWindow(WindowId::Main, true);
  pumpMessagesFor(50);
}
