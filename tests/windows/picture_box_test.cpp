#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

#include "picture_fit.h"
#include "shell_test_support.h"
#include "test_windows.h"

namespace {

// A window with the main window's picture box, no handler bound.
class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loadWindow(unitsWindowLayout(), WindowEvents{}));
    window = unitsWindow();
    ASSERT_NE(window, nullptr);
    pumpMessagesFor(100);
  }
  void TearDown() override {
    window->destroy();
    pumpMessagesFor(50);
  }
  Window* window = nullptr;
};

void expectRect(const Rect& r, int left, int top, int width, int height) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
}

}  // namespace

TEST(FitPicture, ExamplesOfTheLayout) {
  expectRect(fitPicture(2172, 1000, 543, 353), 0, 51, 543, 250);
  expectRect(fitPicture(400, 300, 543, 353), 71, 26, 400, 300);
  expectRect(fitPicture(200, 706, 543, 353), 221, 0, 100, 353);
  expectRect(fitPicture(543, 353, 543, 353), 0, 0, 543, 353);
  expectRect(fitPicture(0, 10, 543, 353), 0, 0, 0, 0);
}

TEST_F(PictureBoxTest, PictureBoxDrawsTheDecodedPictureCentred) {
  PictureBox* box = window->pictureBox();
  RECT client;
  GetClientRect(box->hwnd(), &client);
  EXPECT_EQ(client.right, 543);
  EXPECT_EQ(client.bottom, 353);

  const ByteBuffer red = solidBmp(400, 300, RGB(255, 0, 0));
  box->setPicture(red);
  EXPECT_EQ(box->picture().view(), red.view());  // read back as set
  expectRect(box->drawnRect(), 71, 26, 400, 300);
  UpdateWindow(box->hwnd());
  pumpMessagesFor(100);
  EXPECT_EQ(pixelAt(box->hwnd(), 271, 176), RGB(255, 0, 0));   // inside the picture
  EXPECT_EQ(pixelAt(box->hwnd(), 72, 27), RGB(255, 0, 0));     // its top-left corner
  EXPECT_EQ(pixelAt(box->hwnd(), 70, 176), GetSysColor(COLOR_BTNFACE));  // left of it
  EXPECT_EQ(pixelAt(box->hwnd(), 271, 20), GetSysColor(COLOR_BTNFACE));  // above it

  const ByteBuffer tall = solidBmp(200, 706, RGB(0, 0, 255));
  box->setPicture(tall);
  expectRect(box->drawnRect(), 221, 0, 100, 353);
  UpdateWindow(box->hwnd());
  pumpMessagesFor(100);
  EXPECT_EQ(pixelAt(box->hwnd(), 271, 300), RGB(0, 0, 255));
  EXPECT_EQ(pixelAt(box->hwnd(), 215, 300), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PictureBoxTest, PictureSetFromAnotherThreadIsInPlaceWhenTheCallReturns) {
  const ByteBuffer picture = solidBmp(8, 8, RGB(0, 255, 0));
  PictureBox* box = window->pictureBox();
  std::atomic<bool> done{false};
  bool appliedOnReturn = false;
  std::thread worker([&] {
    box->setPicture(picture);  // waits for the UI thread, which pumps below
    appliedOnReturn = box->drawnRect().width == 8;
    done = true;
  });
  for (int i = 0; i < 300 && !done; ++i) pumpMessagesFor(10);
  worker.join();
  EXPECT_TRUE(appliedOnReturn);
  box->setPicture(ByteBuffer());
  EXPECT_TRUE(box->picture().empty());
  EXPECT_EQ(box->drawnRect().width, 0);
}

TEST_F(PictureBoxTest, UndecodableBytesAreHeldButShowNothing) {
  PictureBox* box = window->pictureBox();
  box->setPicture(textToBuffer("not a picture"));
  EXPECT_EQ(box->picture().view(), "not a picture");
  EXPECT_EQ(box->drawnRect().width, 0);
}

