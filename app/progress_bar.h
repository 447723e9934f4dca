#pragma once
// The progress bar: smooth, shallow sunken edge, range 0…100.
#include <windows.h>

#include <atomic>

#include "layout.h"

class ProgressBar {
 public:
  ProgressBar(HWND parent, const ProgressBarLayout& layout);
  HWND hwnd() const { return hwnd_; }
  // Stored limited to 0…32767; the bar shows it limited to its range.
  // Safe from any thread: the bar is changed on the UI thread, synchronously.
  void setPosition(int position);
  int position() const { return position_; }

 private:
  HWND hwnd_ = nullptr;
  std::atomic<int> position_{0};
};
