#pragma once
// The progress bar: smooth, shallow sunken edge, range 0…100.
#include <windows.h>

#include "layout.h"

class ProgressBar {
 public:
  ProgressBar(HWND parent, const ProgressBarLayout& layout);
  HWND hwnd() const { return hwnd_; }
  // Stored limited to 0…32767; the bar shows it limited to its range.
  // Safe from any thread (setProgressPosition).
  void setPosition(int position);
  int position() const;

 private:
  HWND hwnd_ = nullptr;
};
