#pragma once
// Process-wide state of the design: the image holder and the path of the
// last accepted picture. Used on the UI thread, except that the build
// worker reads sourceImagePath.
#include <memory>

#include "image_codec.h"
#include "text.h"

extern std::unique_ptr<ImageObject> imageObject;
extern Text sourceImagePath;
