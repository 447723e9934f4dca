#pragma once
// The program's own gestures, built from the driver's primitives: shared by
// the UI tests and by uidrive (the headless demo of `make run`).
#include <windows.h>

#include <string>

namespace ui {

// The popup menu opened over the picture box; an item chosen with the
// keyboard (VK_HOME the first, VK_END the last).
bool chooseMenuItem(DWORD processId, HWND mainWindow, int key);
// "手动选择图片" (one above the last item): the open-file dialog, or null.
HWND openPictureDialog(DWORD processId, HWND mainWindow);
// Types the path into the dialog and confirms it (a GBK path, or one in
// UTF-16, which may hold characters GBK has not).
void confirmDialog(HWND dialog, const std::string& path);
void confirmDialog(HWND dialog, const std::wstring& path);
// The colour at the middle of a control, from the screen.
COLORREF middleOf(HWND control);
bool pictureShown(HWND mainWindow);
// Dialog, path, confirmation; true once the picture box shows a picture
// (within `timeoutMs` of the confirmation).
bool takeInThroughDialog(DWORD processId, HWND mainWindow, const std::string& path, DWORD timeoutMs = 20000);

}  // namespace ui
