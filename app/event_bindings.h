#pragma once
// Which handler runs on which event: the whole table in one place. An
// event whose entry is empty has no handler, and then nothing happens.
#include "window_events.h"

struct ProgramEvents {
  WindowEvents main, about, busy;
};

// The program's table.
ProgramEvents programEvents();
