#include "run/machine.h"

#include <algorithm>
#include <utility>

#include "base/overloaded.h"
#include "base/text.h"
#include "run/transition.h"

namespace tavrel {
namespace {

bool IsOpeningInput(const Input& input) {
  return std::holds_alternative<Begin>(input) || std::holds_alternative<BeginAtLogon>(input) ||
         std::holds_alternative<Refused>(input) || std::holds_alternative<WindowFailed>(input);
}

}  // namespace

Step Next(const MachineContext& context, RunData state, const Input& input) {
  return Transition(context, std::move(state)).Take(input);
}

Step Transition::Take(const Input& input) {
  if (s_.state == RunState::Closed) {
    // Only the boxes left to show are answered now.
    if (std::holds_alternative<Answered>(input) && !s_.boxes.empty()) s_.boxes.erase(s_.boxes.begin());
    return Step{std::move(s_), std::move(effects_)};
  }
  if (std::holds_alternative<SessionEnds>(input)) {
    On(SessionEnds{});
  } else if (!IsResult(input) && KeepsInput() && !(s_.state == RunState::Opening && IsOpeningInput(input))) {
    s_.kept.push_back(input);
  } else {
    std::visit(Overloaded{[&](const SessionEnds&) {}, [&](const auto& in) { On(in); }}, input);
    Settle();
  }
  return Step{std::move(s_), std::move(effects_)};
}

// A result belongs to the effect under way: never kept.
bool Transition::IsResult(const Input& input) {
  return std::visit(Overloaded{[](const Answered&) { return true; }, [](const JournalFound&) { return true; },
                               [](const TookOver&) { return true; }, [](const Switched&) { return true; },
                               [](const Started&) { return true; }, [](const NotStarted&) { return true; },
                               [](const PutBack&) { return true; }, [](const ShortcutPlace&) { return true; },
                               [](const Reported&) { return true; }, [](const auto&) { return false; }},
                    input);
}

bool Transition::KeepsInput() const {
  return s_.state == RunState::Opening || s_.state == RunState::Starting ||
         s_.state == RunState::PuttingBack || BoxToShow(s_) != nullptr;
}

void Transition::Settle() {
  if (s_.state == RunState::Opening) {
    if (s_.begun && !s_.recovering) FinishOpening();
    return;
  }
  if ((s_.state != RunState::Idle && s_.state != RunState::Waiting) || BoxToShow(s_)) return;
  if (!s_.kept.empty()) {
    std::vector<Input> inputs = std::exchange(s_.kept, {});
    if (s_.exitDue) inputs.emplace_back(Quiet{});
    Emit(Replay{std::move(inputs)});
  } else if (s_.exitDue) {
    On(Quiet{});
  }
}

// --- the opening

void Transition::On(const Begin& input) {
  const OpenFacts& facts = input.facts;
  s_.begun = true;
  s_.title = facts.title;
  s_.program = facts.program;
  s_.font = facts.font;
  s_.arguments = facts.arguments;
  s_.folder = facts.folder;
  s_.show = facts.show;
  s_.exitWhenDone = facts.exit;
  s_.startMinimized = facts.startMinimized && !facts.run;
  s_.runAtOpening = facts.run && Launchable();
  if (!facts.problem.empty()) Tell(facts.problem);
  s_.recovering = true;
  Emit(ReadJournal{});
}

void Transition::On(const BeginAtLogon& input) {
  s_.atLogon = true;
  s_.begun = true;
  // Another copy runs: it does the work, at its launch's end or its next start.
  if (!input.lockTaken) {
    CloseNow();
    return;
  }
  s_.recovering = true;
  Emit(ReadJournal{});
}

void Transition::On(const Refused& input) {
  AddBoxes(input.boxes);
  s_.state = RunState::Closed;
}

void Transition::On(const JournalFound& input) {
  switch (input.kind) {
    case JournalFound::Kind::Left: Emit(TakeOverJournal{}); return;
    case JournalFound::Kind::Unreadable: Tell(input.problem); break;  // never a guess: it stays
    case JournalFound::Kind::None:
    case JournalFound::Kind::OfARunningCopy: break;
  }
  RecoveryDone();
}

void Transition::On(const TookOver& input) {
  for (const std::string& problem : input.problems) Tell(problem);
  s_.activeFont = input.font;
  if (input.launch) {
    s_.launches.push_back(LaunchRecord{*input.launch, {}});
    RecoveryDone();
    return;
  }
  PutBackThen(AfterPutBack::Recovery);
}

void Transition::RecoveryDone() {
  s_.recovering = false;
  if (!s_.atLogon) return;  // the window opens once its reports are read
  if (s_.launches.empty()) {
    CloseNow();
  } else {
    s_.state = RunState::Waiting;  // no window: the programs are waited for all the same
  }
}

void Transition::FinishOpening() {
  if (BoxToShow(s_)) return;  // the opening's reports stand alone before the window
  s_.state = s_.launches.empty() ? RunState::Idle : RunState::Waiting;
  s_.windowShown = true;
  // Before any input that came while the window opened, by the rule of a click.
  if (std::exchange(s_.runAtOpening, false)) On(Launch{});
  Settle();
}

// --- boxes

void Transition::On(const Answered& input) {
  if (s_.boxes.empty()) return;
  const PendingBox box = s_.boxes.front();
  s_.boxes.erase(s_.boxes.begin());
  s_.raised = s_.windowShown;
  s_.startMinimized = false;
  if (input.yes) YesTo(box.onYes);
}

void Transition::YesTo(const OnYes& onYes) {
  std::visit(Overloaded{[](std::monostate) {}, [&](const YesCloses&) { CloseByUser(); },
                        [&](const YesQueues& yes) { s_.queued.push_back(yes.order); },
                        [&](const YesWritesShortcut& yes) {
                          Emit(WriteShortcut{yes.file, yes.name, s_.program, s_.font});
                        }},
             onYes);
}

void Transition::Tell(std::string_view text) {
  if (!s_.silent) s_.boxes.push_back(PendingBox{Box{std::string(text), BoxIcon::Warning, BoxButtons::Ok}, {}});
}

void Transition::Inform(std::string_view text) {
  if (!s_.silent) s_.boxes.push_back(PendingBox{Box{std::string(text), BoxIcon::Information, BoxButtons::Ok}, {}});
}

void Transition::Ask(std::string text, OnYes onYes) {
  if (!s_.silent) s_.boxes.push_back(PendingBox{Box{std::move(text), BoxIcon::Question, BoxButtons::YesNo}, onYes});
}

void Transition::AddBoxes(const std::vector<Box>& boxes) {
  if (s_.silent) return;
  for (const Box& box : boxes) s_.boxes.push_back(PendingBox{box, {}});
}

// --- files

void Transition::On(const Drop& input) {
  if (!input.refusal.empty()) {
    Tell(input.refusal);  // a shortcut that starts no program: the box keeps what it has
    return;
  }
  if (input.box == DropBox::Program) {
    RegisterProgram(input.path);
    s_.arguments = input.arguments;
    s_.folder = input.folder;
  } else {
    s_.font = input.path;
  }
}

void Transition::RegisterProgram(const std::string& path) {
  s_.program = path;
  s_.arguments.clear();
  s_.folder.clear();
  s_.show = ShowState::Normal;
}

void Transition::On(const ShortcutAsked&) {
  if (Launchable()) Emit(PlaceShortcut{s_.program});
}

void Transition::On(const ShortcutPlace& input) {
  if (!Launchable()) return;
  if (!input.problem.empty()) {
    Tell(input.problem);
  } else if (input.exists) {
    // Whatever stands there is the user's: it goes only when the user says so.
    Ask(texts().ShortcutExists(Utf16ToUtf8(input.file)), YesWritesShortcut{input.file, input.name});
  } else {
    Emit(WriteShortcut{input.file, input.name, s_.program, s_.font});
  }
}

// --- the way out

void Transition::On(const CloseAsked&) {
  if (s_.launches.empty() && s_.queued.empty()) {
    CloseByUser();
    return;
  }
  Ask(texts().CloseQuestion(QueuedPrograms()), YesCloses{});
}

void Transition::On(const WindowFailed& input) {
  Tell(input.text);
  if (s_.state == RunState::Opening) {
    CloseNow();  // no window: nothing runs yet
  } else {
    On(CloseAsked{});
  }
}

void Transition::On(const Quiet&) {
  if (!std::exchange(s_.exitDue, false)) return;
  if (s_.state == RunState::Idle && s_.queued.empty() && s_.exitWhenDone) CloseByUser();
}

void Transition::On(const SessionEnds&) {
  if (s_.state == RunState::Closed) return;
  // Nothing is asked or told: a box shown now can be cut short, and Tavrel
  // killed with the user font still in place. What could not be put back
  // stays in the journal for the next logon.
  s_.silent = true;
  s_.boxes.clear();
  s_.kept.clear();
  s_.queued.clear();
  s_.exitDue = false;
  s_.runAtOpening = false;
  if (s_.activeFont.empty()) {
    CloseNow();
  } else {
    PutBackThen(AfterPutBack::Close);
  }
}

void Transition::CloseByUser() {
  if (s_.activeFont.empty()) {
    EndOrGoOn();
  } else {
    PutBackThen(AfterPutBack::Close);
  }
}

// A second start that came during the close question still runs: this copy
// goes on as its first copy, with nothing of the old run left.
void Transition::EndOrGoOn() {
  const bool startKept = !s_.silent && std::any_of(s_.kept.begin(), s_.kept.end(), [](const Input& input) {
    const HandedOver* handOver = std::get_if<HandedOver>(&input);
    return handOver && handOver->sound && handOver->handOver.run && !handOver->handOver.program.empty();
  });
  if (!startKept) {
    CloseNow();
    return;
  }
  s_.launches.clear();
  s_.queued.clear();
  Emit(ForgetLaunches{});
  s_.state = RunState::Idle;
}

void Transition::CloseNow() {
  s_.state = RunState::Closed;
  s_.launches.clear();
  s_.queued.clear();
  s_.kept.clear();
  s_.exitDue = false;
  Emit(ForgetLaunches{});
  // A start waiting for the logon's restore goes on now, before its report.
  if (s_.atLogon) Emit(ReleaseLock{});
}

}  // namespace tavrel
