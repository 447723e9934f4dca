#pragma once
// The main window loaded for a test (with the events of the table the test
// links), and removed afterwards.
#include <gtest/gtest.h>

#include "program_windows.h"
#include "shell_test_support.h"

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loadWindow(WindowId::Main));
    main = openWindow(WindowId::Main);
    ASSERT_NE(main, nullptr);
    pumpMessagesFor(100);
  }
  void TearDown() override {
    closeWindow(WindowId::Main, true);
    pumpMessagesFor(50);
  }
  Window* main = nullptr;
};
