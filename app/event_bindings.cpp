#include "event_bindings.h"

#include "build_pipeline.h"
#include "carried_tools.h"
#include "layouts.h"
#include "main_window.h"

namespace {
void nothing() {}  // the About window's created event: an empty handler
}  // namespace

ProgramEvents programEvents() {
  return {
      .main = {.created = initMainWindow,
               .mayClose = windowMayClose,
               .aboutToBeDestroyed = removeTools,
               .menuItems = {{.command = MenuCommand::Start, .chosen = showBusyWindow},
                             {.command = MenuCommand::ChoosePicture, .chosen = choosePictureForMainWindow},
                             {.command = MenuCommand::About, .chosen = showAboutWindow}},
               .pictureRightButtonUp = openPopupMenu,
               .menuKey = openPopupMenuFromKeyboard,
               .filesDropped = takeInDroppedPicture,
               .sessionMayEnd = sessionMayEnd,
               .sessionEnding = sessionEnding},
      .about = {.created = nothing},
      .busy = {.created = startBuildFromMainWindow, .mayClose = windowMayClose},
  };
}
