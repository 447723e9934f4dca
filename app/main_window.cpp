#include "main_window.h"

#include <memory>

#include "build_pipeline.h"
#include "carried_tools.h"
#include "drop_target.h"
#include "program_windows.h"
#include "take_in_picture.h"
#include "ui_requests.h"

namespace {
constexpr int kMainWindowHeight = 406;

HWND mainPictureBox() {
  Window* main = openWindow(WindowId::Main);
  return main ? windowHandle(main->pictureBox()) : nullptr;
}

// 拖放对象1 on the picture box, raising the window's files-dropped event;
// the window keeps it and revokes it when it goes.
void attachDropTarget(Window& main) {
  const std::optional<DropTargetLayout>& layout = main.layout().dropTarget;
  if (!layout) return;
  auto target = std::make_unique<DropTargetControl>(
      readDropTargetRecord(layout->record.data(), layout->record.size()), main.events().filesDropped);
  registerDropTarget(*target, windowHandle(main.pictureBox()));  // its result is not looked at
  main.attach(std::move(target));
}
}  // namespace

void initMainWindow() {
  Window* main = openWindow(WindowId::Main);
  if (!main) return;
  // Keeps the top-left corner that centring for the layout's 436 gave.
  RECT outer;
  GetWindowRect(main->hwnd(), &outer);
  SetWindowPos(main->hwnd(), nullptr, 0, 0, outer.right - outer.left, kMainWindowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  attachDropTarget(*main);
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
  popupMenu(*main, *main->popupMenu());
}

void openPopupMenuFromKeyboard() {
  Window* main = openWindow(WindowId::Main);
  // A disabled window (a modal one over it) gets no keys; a minimized one
  // shows no picture box to open the menu at.
  if (!main || !IsWindowEnabled(main->hwnd()) || IsIconic(main->hwnd())) return;
  RECT box{};
  GetWindowRect(windowHandle(main->pictureBox()), &box);
  updateStartItem();
  popupMenu(*main, *main->popupMenu(), box.left + 3, box.top + 3);
}

void showBusyWindow() { loadWindow(WindowId::Busy, nullptr, true); }

void showAboutWindow() { loadWindow(WindowId::About, nullptr, true); }

void showProgress(int percent) {
  if (Window* main = openWindow(WindowId::Main)) setProgressPosition(windowHandle(main->progressBar()), percent);
}

void takeInDroppedPicture(const Text& paths) { takeInPicture(paths, mainPictureBox()); }

void choosePictureForMainWindow() {
  Window* main = openWindow(WindowId::Main);
  if (main && main->fileDialog()) choosePicture(*main->fileDialog(), windowHandle(main->pictureBox()));
}

void startBuildFromMainWindow() {
  Window* main = openWindow(WindowId::Main);
  startBuildWorker({.busyWindow = windowHandle(WindowId::Busy),
                    .pictureBox = main ? windowHandle(main->pictureBox()) : nullptr,
                    .progressBar = main ? windowHandle(main->progressBar()) : nullptr});
}
