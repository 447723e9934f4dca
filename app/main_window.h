#pragma once
// Handlers of the main window and its popup menu, and the bridges that hand
// the intake and the build the units they work on.
#include "text.h"

// Created event: final height 406, drop target, carried tools.
void initMainWindow();
// Right button released over the picture box: the popup menu, with
// "开始制作" enabled exactly when the picture box holds a picture.
void openPopupMenu(int x, int y, int keys);
// The context-menu key or Shift+F10: the same menu, its top-left corner 3
// pixels right of and below the picture box's (the cursor may be anywhere).
void openPopupMenuFromKeyboard();
// The enabling rule alone: "开始制作" enabled when the box holds bytes.
void updateStartItem();
void showBusyWindow();   // modal
void showAboutWindow();  // modal
// The progress bar's position, by the rule of the archiver's progress
// event (the build's worker reaches the bar by handle the same way).
void showProgress(int percent);

// Files dropped on the picture box: taken in and shown there.
void takeInDroppedPicture(const Text& paths);
// "手动选择图片": the main window's dialog, then taken in and shown.
void choosePictureForMainWindow();
// The busy window's created event: the build, with the busy window, the
// picture box and the progress bar it changes.
void startBuildFromMainWindow();
