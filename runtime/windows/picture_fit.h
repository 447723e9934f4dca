#pragma once
// Where the picture box draws a w × h picture in its W × H client area:
// centred, shrunk to fit, never enlarged.
#include "layout.h"

Rect fitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);
