#pragma once
// Bringing a picture in: by a drop or through the open-file dialog, shown
// in the picture box given.
#include <windows.h>

#include "file_dialog.h"
#include "image_format.h"
#include "text.h"

// The extension as PathFindExtensionA finds it: from the last "." after the
// last "\" or space, "." included; empty when there is none. Two-byte
// characters follow GBK, the code page of every path the program holds
// (or the one given).
Text extensionOf(const Text& path, unsigned codePage = kTextCodePage);

// The message that refuses a picture for a path the program cannot use
// ("?" where a character had no GBK form and the volume no short name), or
// null: its own folder is named first, then the desktop, then the picture
// (moving the picture helps only with the last).
const char* unusablePathText(const Text& picture, const Text& programFolder, const Text& desktop);

// The format for an extension by the table "bmp", "gif", "jpg", "png",
// "tif", "tga", "jpe", "jfif", "webp" (a case-blind substring test, the
// first row that matches), or IMAGE_FORMAT_UNKNOWN.
ImageFormat formatForExtension(const Text& extension);

// Decodes the picture, writes the two working copies, checks the size and
// shows it; refuses it with a message when it cannot be used.
void takeInPicture(const Text& path, HWND pictureBox);

// The "手动选择图片" command: the open-file dialog, then takeInPicture.
void choosePicture(FileDialog& dialog, HWND pictureBox);
