#pragma once
// Which handler runs on which event: the whole table in one place. An
// event whose entry is null has no handler, and then nothing happens.
#include "text.h"

struct EventBindings {
  void (*mainCreated)();
  void (*mainAboutToBeDestroyed)();
  void (*pictureRightButtonUp)(int x, int y, int keys);
  void (*startChosen)();
  void (*choosePictureChosen)();
  void (*aboutChosen)();
  void (*filesDropped)(const Text& paths);
  void (*archiveProgress)(int percent);
  void (*aboutCreated)();
  void (*busyCreated)();
  // The may-close events: false keeps the window open.
  bool (*mainMayClose)();
  bool (*busyMayClose)();
};

// The program's table.
EventBindings programEventBindings();
// The table in force: the program's, or a test's that links its own
// (defined apart from the window layer for that reason).
const EventBindings& eventBindings();

// Runs a handler when there is one.
template <typename Handler, typename... Args>
void raise(Handler handler, Args&&... args) {
  if (handler) handler(static_cast<Args&&>(args)...);
}
