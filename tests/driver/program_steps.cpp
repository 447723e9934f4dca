#include "program_steps.h"

#include "ui_driver.h"
#include "wide_text.h"

namespace ui {

namespace {

HWND waitForOpenDialog(DWORD processId) {
  HWND dialog = nullptr;
  waitUntil([&] {
    dialog = waitForWindow(processId, "#32770", nullptr, 100);
    return dialog && GetDlgItem(dialog, 1148);  // the file-name box
  }, 10000);
  return dialog;
}

HWND pictureBoxOf(HWND mainWindow) { return findChild(mainWindow, "TarvexForgePictureBox"); }

}  // namespace

bool chooseMenuItem(DWORD processId, HWND mainWindow, int key) {
  releaseRightButton(pictureBoxOf(mainWindow));
  HWND menu = waitForPopupMenu(processId);
  if (!menu) return false;
  pressKey(menu, key);
  Sleep(100);
  pressKey(menu, VK_RETURN);
  return true;
}

HWND openPictureDialog(DWORD processId, HWND mainWindow) {
  releaseRightButton(pictureBoxOf(mainWindow));
  HWND menu = waitForPopupMenu(processId);
  if (!menu) return nullptr;
  pressKey(menu, VK_END);
  pressKey(menu, VK_UP);
  pressKey(menu, VK_RETURN);
  return waitForOpenDialog(processId);
}

void confirmDialog(HWND dialog, const std::string& path) {
  confirmDialog(dialog, widen(path));
}

void confirmDialog(HWND dialog, const std::wstring& path) {
  SetWindowTextW(GetDlgItem(dialog, 1148), path.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  waitUntilGone(dialog, 10000);
}

COLORREF middleOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool pictureShown(HWND mainWindow) { return middleOf(pictureBoxOf(mainWindow)) != GetSysColor(COLOR_BTNFACE); }

bool takeInThroughDialog(DWORD processId, HWND mainWindow, const std::string& path, DWORD timeoutMs) {
  HWND dialog = openPictureDialog(processId, mainWindow);
  if (!dialog) return false;
  confirmDialog(dialog, path);
  // Generous by default: CI may run the fuzzers' native build alongside.
  return waitUntil([&] { return pictureShown(mainWindow); }, timeoutMs);
}

}  // namespace ui
