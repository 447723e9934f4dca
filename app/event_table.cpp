#include "event_bindings.h"

const EventBindings& eventBindings() {
  static const EventBindings bindings = programEventBindings();
  return bindings;
}
