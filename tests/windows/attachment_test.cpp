#include <gtest/gtest.h>

#include <memory>

#include "shell_test_support.h"
#include "test_windows.h"

namespace {

// Records whether the picture box still existed when it was told.
class RecordingAttachment : public WindowAttachment {
 public:
  RecordingAttachment(HWND unit, int& toldWithUnit) : unit_(unit), toldWithUnit_(toldWithUnit) {}
  void windowGoing() override { toldWithUnit_ = IsWindow(unit_) ? 1 : 0; }

 private:
  HWND unit_;
  int& toldWithUnit_;
};

}  // namespace

// What the program attaches (the drop target) is told once, while the
// units are still there, and goes with the window.
TEST(WindowAttachment, IsToldWhenItsWindowGoesWhileTheUnitsStillExist) {
  ASSERT_TRUE(loadWindow(unitsWindowLayout(), WindowEvents{}));
  int toldWithUnit = -1;
  unitsWindow()->attach(std::make_unique<RecordingAttachment>(unitsPictureBox(), toldWithUnit));
  pumpMessagesFor(50);
  EXPECT_EQ(toldWithUnit, -1);
  unitsWindow()->destroy();
  EXPECT_EQ(toldWithUnit, 1);
  EXPECT_EQ(unitsWindow(), nullptr);
}
