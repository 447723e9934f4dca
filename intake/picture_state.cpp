#include "picture_state.h"

std::unique_ptr<ImageObject> imageObject;
Text sourceImagePath;
