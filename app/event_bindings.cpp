#include "event_bindings.h"

#include "build_pipeline.h"
#include "carried_tools.h"
#include "main_window.h"
#include "take_in_picture.h"

namespace {
void nothing() {}  // the About window's created event: an empty handler
}  // namespace

EventBindings programEventBindings() {
  return {
      /*mainCreated*/ initMainWindow,
      /*mainAboutToBeDestroyed*/ removeTools,
      /*pictureRightButtonUp*/ openPopupMenu,
      /*startChosen*/ showBusyWindow,
      /*choosePictureChosen*/ choosePicture,
      /*aboutChosen*/ showAboutWindow,
      /*filesDropped*/ takeInPicture,
      /*archiveProgress*/ showProgress,
      /*aboutCreated*/ nothing,
      /*busyCreated*/ startBuildWorker,
      /*mainMayClose*/ windowMayClose,
      /*busyMayClose*/ windowMayClose,
  };
}
