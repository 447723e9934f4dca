#include "event_bindings.h"
#include "program_windows.h"

const WindowEvents& windowEventsOf(WindowId id) {
  static const ProgramEvents events = programEvents();
  switch (id) {
    case WindowId::About: return events.about;
    case WindowId::Busy: return events.busy;
    default: return events.main;
  }
}
