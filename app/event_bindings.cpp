#include "event_bindings.h"

#include "main_window.h"

namespace {
void nothing() {}  // the About window's created event: an empty handler
}  // namespace

const EventBindings& eventBindings() {
  static const EventBindings bindings{
      /*mainCreated*/ initMainWindow,
      /*mainAboutToBeDestroyed*/ nullptr,  // removeTools, with the carried tools
      /*pictureRightButtonUp*/ openPopupMenu,
      /*startChosen*/ showBusyWindow,
      /*choosePictureChosen*/ nullptr,  // choosePicture, with image intake
      /*aboutChosen*/ showAboutWindow,
      /*filesDropped*/ nullptr,  // takeInPicture, with image intake
      /*archiveProgress*/ showProgress,
      /*aboutCreated*/ nothing,
      /*busyCreated*/ nullptr,  // startBuildWorker, with the build pipeline
  };
  return bindings;
}
