#pragma once
// Handlers of the main window and its popup menu.

// Created event: final height 406, drop target, carried tools.
void initMainWindow();
// Right button released over the picture box: the popup menu, with
// "开始制作" enabled exactly when the picture box holds a picture.
void openPopupMenu(int x, int y, int keys);
// The enabling rule alone: "开始制作" enabled when the box holds bytes.
void updateStartItem();
void showBusyWindow();   // modal
void showAboutWindow();  // modal
// The archiver's progress; runs on the build worker.
void showProgress(int percent);
