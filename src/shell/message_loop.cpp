#include "shell/message_loop.h"

#include <algorithm>

namespace tavrel {
namespace {

// Dispatches every message waiting in the queue; false at WM_QUIT, whose
// exit code is left in `quit`.
bool DispatchPending(MainWindow* window, int& quit) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = static_cast<int>(message.wParam);
      return false;
    }
    if (window && window->HandleDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

}  // namespace

int RunMessageLoop(Run& run, MainWindow* window) {
  int quit = 0;
  while (!run.Finished()) {
    const std::vector<WaitHandle> programs = run.WaitHandles();
    // One slot of the wait is the message queue's.
    const DWORD count =
        static_cast<DWORD>(std::min<size_t>(programs.size(), MAXIMUM_WAIT_OBJECTS - 1));
    // MWMO_INPUTAVAILABLE: wake for messages already in the queue too, not
    // only for those that arrive after the last look at it. No time-out: no
    // CPU while nothing happens.
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, programs.data(), INFINITE, QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
    if (woke < WAIT_OBJECT_0 + count) {
      run.ProgramEnded(programs[woke - WAIT_OBJECT_0]);
    } else if (woke == WAIT_OBJECT_0 + count) {
      if (!DispatchPending(window, quit)) return quit;
      // The queue has run empty: every control has painted.
      if (window) window->FinishStartUp();
    } else {
      // WAIT_FAILED: a handle no longer waitable. (A process handle is never
      // abandoned.) The ends of the programs can no longer be known.
      run.WaitFailed();
    }
  }
  return quit;
}

}  // namespace tavrel
