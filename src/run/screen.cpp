// What the window and a second start see of the run's state.
#include "run/machine.h"

namespace tavrel {

const PendingBox* BoxToShow(const RunData& state) {
  if (state.boxes.empty() || state.silent) return nullptr;
  if (state.atLogon && state.state != RunState::Closed) return nullptr;
  return &state.boxes.front();
}

bool TakesHandOvers(const RunData& state) {
  return state.state != RunState::Closed && !state.atLogon && !state.silent;
}

Screen ScreenOf(const RunData& s, const Texts& texts) {
  const bool launchable = !s.program.empty() && !s.font.empty();
  const bool busy = s.state == RunState::Starting || s.state == RunState::Waiting ||
                    s.state == RunState::PuttingBack || !s.queued.empty();
  Screen screen;
  screen.title = s.title;
  screen.program = s.program;
  screen.programCaption = s.program.empty() ? std::string(texts.Get(Text::ProgramPrompt)) : s.program;
  screen.fontCaption = s.font.empty() ? std::string(texts.Get(Text::FontPrompt)) : s.font;
  screen.launchEnabled = s.state == RunState::Idle && launchable;
  screen.exitWhenDone = s.exitWhenDone;
  screen.shortcutOffered = launchable;
  screen.visible = s.windowShown && !s.atLogon;
  // A box owned by a minimised window would stay out of sight.
  screen.minimized = screen.visible && BoxToShow(s) == nullptr && (busy ? !s.raised : s.startMinimized);
  screen.closed = s.state == RunState::Closed;
  return screen;
}

}  // namespace tavrel
