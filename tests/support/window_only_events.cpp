#include "event_bindings.h"

const EventBindings& eventBindings() {
  static const EventBindings bindings = [] {
    EventBindings table = programEventBindings();
    table.busyCreated = nullptr;
    table.mainMayClose = nullptr;
    table.busyMayClose = nullptr;
    return table;
  }();
  return bindings;
}
