#include "build_pipeline.h"
#include "event_bindings.h"
#include "program_windows.h"

const WindowEvents& windowEventsOf(WindowId id) {
  static const ProgramEvents events = [] {
    ProgramEvents table = programEvents();
    table.busy.created = nullptr;
    table.main.mayClose = nullptr;
    table.busy.mayClose = nullptr;
    return table;
  }();
  switch (id) {
    case WindowId::About: return events.about;
    case WindowId::Busy: return events.busy;
    default: return events.main;
  }
}
