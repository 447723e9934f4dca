#include "picture_fit.h"

#include <algorithm>

Rect fitPicture(int w, int h, int areaWidth, int areaHeight) {
  if (w <= 0 || h <= 0) return {0, 0, 0, 0};
  int drawnWidth = w, drawnHeight = h;
  if (w > areaWidth || h > areaHeight) {
    // The narrower direction first limited to the picture's own size, so
    // that the scale never exceeds 1.
    const double scale = std::min(static_cast<double>(std::min(areaWidth, w)) / w,
                                  static_cast<double>(std::min(areaHeight, h)) / h);
    drawnWidth = static_cast<int>(w * scale);
    drawnHeight = static_cast<int>(h * scale);
  }
  return {(areaWidth - drawnWidth) / 2, (areaHeight - drawnHeight) / 2, drawnWidth, drawnHeight};
}
