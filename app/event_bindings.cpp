#include "event_bindings.h"

#include "carried_tools.h"
#include "main_window.h"
#include "take_in_picture.h"

namespace {
void nothing() {}  // the About window's created event: an empty handler
}  // namespace

const EventBindings& eventBindings() {
  static const EventBindings bindings{
      /*mainCreated*/ initMainWindow,
      /*mainAboutToBeDestroyed*/ removeTools,
      /*pictureRightButtonUp*/ openPopupMenu,
      /*startChosen*/ showBusyWindow,
      /*choosePictureChosen*/ choosePicture,
      /*aboutChosen*/ showAboutWindow,
      /*filesDropped*/ takeInPicture,
      /*archiveProgress*/ showProgress,
      /*aboutCreated*/ nothing,
      /*busyCreated*/ nullptr,  // startBuildWorker, with the build pipeline
  };
  return bindings;
}
