// The machine's launches: a start, the programs' ends, and the put-back that
// follows the last of them.
#include <utility>

#include "base/text.h"
#include "run/transition.h"

namespace tavrel {
namespace {

bool SameFont(std::string_view a, std::string_view b) {
  return !a.empty() && EqualIgnoringCase(Utf8ToUtf16(a), Utf8ToUtf16(b));
}

}  // namespace

StartOrder Transition::Registered() const {
  return StartOrder{s_.program, s_.font, s_.arguments, s_.show, false, s_.folder};
}

void Transition::On(const Launch&) {
  if (s_.state == RunState::Idle) {
    (void)LaunchFromIdle(Registered());
  } else if (s_.state == RunState::Waiting) {
    LaunchWhileWaiting(Registered());
  }
}

void Transition::TakeFiles(const HandedOver& input) {
  const HandOver& handOver = input.handOver;
  if (!handOver.program.empty()) {
    RegisterProgram(handOver.program);
    s_.arguments = handOver.arguments;
    s_.folder = input.folder;
    s_.show = handOver.run ? handOver.show : ShowState::Normal;
  }
  if (!handOver.font.empty()) s_.font = handOver.font;
  if (handOver.exit) s_.exitWhenDone = true;
}

void Transition::On(const HandedOver& input) {
  // A start of Tavrel checks its files before it sends them: anything else
  // is no start of Tavrel's.
  if (!input.sound) return;
  if (!input.refusal.empty()) {
    Tell(input.refusal);  // neither its program nor its /run is taken
    return;
  }
  const HandOver& handOver = input.handOver;
  const bool launches = handOver.run && !handOver.program.empty();
  if (s_.state == RunState::Idle || !launches) {
    TakeFiles(input);
    if (s_.state != RunState::Idle) return;  // the window stays as the run has it
    s_.startMinimized = false;
    Emit(BringToFront{});
    if (launches) (void)LaunchFromIdle(Registered());
    return;
  }
  // Without a font of its own, the one registered, or else the one in place.
  std::string font = handOver.font.empty() ? s_.font : handOver.font;
  if (font.empty()) font = s_.activeFont;
  if (font.empty()) {
    Tell(texts().Fill(Text::NoFontForStart, {handOver.program}));
    return;
  }
  LaunchWhileWaiting(
      StartOrder{handOver.program, font, handOver.arguments, handOver.show, handOver.exit, input.folder});
}

bool Transition::LaunchFromIdle(const StartOrder& order) {
  if (order.program.empty() || order.font.empty()) return false;
  // Before anything changes: a logon could not put the settings back.
  if (!context_.launchRefusal.empty()) {
    Tell(context_.launchRefusal);
    return false;
  }
  s_.state = RunState::Starting;
  s_.starting = order;
  s_.startMinimized = false;
  s_.raised = false;
  Emit(SwitchFont{order.font});
  return true;
}

// One rule, whoever asks: a program with the font in place starts beside
// those that run; one with another font waits until they have ended, if the
// user wants it to.
void Transition::LaunchWhileWaiting(const StartOrder& order) {
  if (order.program.empty() || order.font.empty()) return;
  if (SameFont(order.font, s_.activeFont)) {
    s_.state = RunState::Starting;
    s_.starting = order;
    Emit(SwitchFont{order.font});
    return;
  }
  const std::string& running = s_.launches.empty() ? std::string() : s_.launches.back().program;
  Ask(texts().QueueQuestion(running, s_.activeFont, order.program, order.font), YesQueues{order});
}

void Transition::On(const Switched& input) {
  AddBoxes(input.boxes);
  if (s_.state != RunState::Starting || !s_.starting) return;
  if (input.ok) {
    s_.activeFont = s_.starting->font;
    Emit(StartProgram{*s_.starting});
    return;
  }
  // Nothing switched, nothing started: the user was told.
  s_.starting.reset();
  StartOver();
}

// The start's own settings apply once it has started, and only then.
void Transition::Apply(const StartOrder& order) {
  s_.program = order.program;
  s_.font = order.font;
  s_.arguments = order.arguments;
  s_.folder = order.folder;
  s_.show = order.show;
  if (order.exit) s_.exitWhenDone = true;
  Emit(RememberPair{order});
}

void Transition::On(const Started& input) {
  if (!s_.starting) return;
  const StartOrder order = *std::exchange(s_.starting, std::nullopt);
  s_.launches.push_back(LaunchRecord{input.launch, order.program});
  s_.state = RunState::Waiting;
  Apply(order);
}

void Transition::On(const NotStarted& input) {
  if (!s_.starting) return;
  const StartOrder order = *std::exchange(s_.starting, std::nullopt);
  const bool outerRuns = !s_.launches.empty();
  switch (input.kind) {
    case NotStarted::Kind::HandedOver:
      // Served without a process of its own (a running program took it):
      // there is nothing to wait for.
      Apply(order);
      if (outerRuns) break;
      Inform(texts().Fill(Text::NothingToWaitFor, {order.program}));
      PutBackThen(AfterPutBack::LastProgram);
      return;
    case NotStarted::Kind::Cancelled:
    case NotStarted::Kind::Failed:
      if (outerRuns) {
        // The font stays for the programs that run; a refusal at the
        // shell's prompt needs no word: the user chose.
        if (input.kind == NotStarted::Kind::Failed) Tell(texts().NotStarted(order.program, input.errorText, true, false));
        break;
      }
      s_.failedProgram = input.kind == NotStarted::Kind::Failed ? order.program : "";
      s_.failedError = input.errorText;
      PutBackThen(AfterPutBack::FailedStart);
      return;
  }
  s_.state = RunState::Waiting;
}

void Transition::On(const LaunchEnded& input) {
  if (s_.state != RunState::Waiting) return;
  std::erase_if(s_.launches, [&](const LaunchRecord& launch) { return launch.id == input.id; });
  if (!s_.launches.empty()) return;
  if (s_.activeFont.empty()) {
    AfterLastProgram();
  } else {
    PutBackThen(AfterPutBack::LastProgram);
  }
}

void Transition::On(const WaitLost&) {
  if (s_.state != RunState::Waiting) return;
  // The user font stays: the end of the programs is not known, nor so the
  // end of those before a queued start.
  std::string text = texts().WaitFailed(s_.atLogon);
  if (!s_.queued.empty()) text += "\r\n\r\n" + texts().NotQueuedAnyMore(QueuedPrograms());
  Tell(text);
  s_.launches.clear();
  s_.queued.clear();
  Emit(ForgetLaunches{});
  AfterLastProgram();
}

void Transition::PutBackThen(AfterPutBack then) {
  if (s_.state != RunState::Opening) s_.state = RunState::PuttingBack;
  s_.afterPutBack = then;
  Emit(PutSettingsBack{then == AfterPutBack::Recovery, s_.silent});
}

void Transition::On(const PutBack& input) {
  if (s_.state != RunState::PuttingBack && !s_.recovering) return;
  AddBoxes(input.boxes);
  if (!input.userFontActive) s_.activeFont.clear();
  switch (s_.afterPutBack) {
    case AfterPutBack::Recovery: RecoveryDone(); return;
    case AfterPutBack::Close: s_.silent ? CloseNow() : EndOrGoOn(); return;
    case AfterPutBack::FailedStart:
      if (!s_.failedProgram.empty()) {
        Tell(texts().NotStarted(s_.failedProgram, s_.failedError, false, input.complete));
      }
      s_.failedProgram.clear();
      s_.failedError.clear();
      break;
    case AfterPutBack::LastProgram: break;
  }
  AfterLastProgram();
}

// After a start that failed: the next queued start, or what follows the last.
void Transition::StartOver() {
  if (s_.launches.empty()) {
    AfterLastProgram();
  } else {
    s_.state = RunState::Waiting;
  }
}

// Nothing is waited for any more: the next queued start, /exit's close, or
// the window comes back.
void Transition::AfterLastProgram() {
  s_.state = RunState::Idle;
  if (s_.atLogon) {
    CloseNow();
    return;
  }
  while (!s_.queued.empty()) {
    const StartOrder order = s_.queued.front();
    s_.queued.erase(s_.queued.begin());
    if (LaunchFromIdle(order)) return;
  }
  // After the boxes and the input kept meanwhile: a second start's program
  // may still come.
  if (s_.exitWhenDone) s_.exitDue = true;
}

std::vector<std::string> Transition::QueuedPrograms() const {
  std::vector<std::string> programs;
  for (const StartOrder& order : s_.queued) programs.push_back(order.program);
  return programs;
}

}  // namespace tavrel
