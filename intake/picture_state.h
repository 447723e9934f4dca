#pragma once
// The two values the intake shares with start and exit: the image holder
// and the path of the last accepted picture. Start creates the holder and
// exit releases both; the intake fills them on the UI thread.
#include <memory>

#include "image_codec.h"
#include "text.h"

extern std::unique_ptr<ImageObject> imageObject;
extern Text sourceImagePath;
