#include "main_window.h"

#include "carried_tools.h"
#include "window.h"

namespace {
constexpr int kMainWindowHeight = 406;
}  // namespace

void initMainWindow() {
  Window* main = openWindow(WindowId::Main);
  if (!main) return;
  // Keeps the top-left corner that centring for the layout's 436 gave.
  RECT outer;
  GetWindowRect(main->hwnd(), &outer);
  SetWindowPos(main->hwnd(), nullptr, 0, 0, outer.right - outer.left, kMainWindowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (main->dropTarget()) registerDropTarget(*main->dropTarget(), windowHandle(main->pictureBox()));
  extractTools();
}

void updateStartItem() {
  Window* main = openWindow(WindowId::Main);
  if (!main) return;
  MenuItem* start = main->popupMenu()->item(MenuCommand::Start);
  start->disabled = false;
  if (main->pictureBox()->picture().empty()) start->disabled = true;
}

void openPopupMenu(int, int, int) {
  Window* main = openWindow(WindowId::Main);
  if (!main) return;
  updateStartItem();
  popupMenu(WindowId::Main, *main->popupMenu());
}

void showBusyWindow() { loadWindow(WindowId::Busy, nullptr, true); }

void showAboutWindow() { loadWindow(WindowId::About, nullptr, true); }

void showProgress(int percent) {
  if (Window* main = openWindow(WindowId::Main)) main->progressBar()->setPosition(percent);
}
