// Tavrel's one message loop.
#pragma once

#include "run/run.h"
#include "shell/main_window.h"

namespace tavrel {

// Waits for the window's messages and the ends of the run's programs
// together, and hands each to its handler, until the run has finished or
// the thread is told to quit; the exit code. `window` is null for a run
// without a window (the logon's restore).
int RunMessageLoop(Run& run, MainWindow* window);

}  // namespace tavrel
