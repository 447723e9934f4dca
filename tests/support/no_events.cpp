#include "program_windows.h"

const WindowEvents& windowEventsOf(WindowId) {
  static const WindowEvents none;
  return none;
}
