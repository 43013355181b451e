// One transition of the machine under way: the state it changes and the
// effects it collects. Split over machine.cpp (the input's dispatch, boxes,
// the opening and the way out) and machine_launch.cpp (launches and ends).
#pragma once

#include <string_view>
#include <vector>

#include "run/machine.h"

namespace tavrel {

class Transition {
 public:
  Transition(const MachineContext& context, RunData state) : context_(context), s_(std::move(state)) {}
  Step Take(const Input& input);

  // --- input (machine.cpp)
  void On(const Begin& input);
  void On(const BeginAtLogon& input);
  void On(const Refused& input);
  void On(const Drop& input);
  void On(const HandedOver& input);
  void On(const CloseAsked&);
  void On(const SessionEnds&);
  void On(const ToggleExit&) { s_.exitWhenDone = !s_.exitWhenDone; }
  void On(const HomePageAsked&) { Emit(OpenHomePage{}); }
  void On(const ShortcutAsked&);
  void On(const WindowFailed& input);
  void On(const Quiet&);
  void On(const Answered& input);
  void On(const JournalFound& input);
  void On(const TookOver& input);
  void On(const ShortcutPlace& input);
  void On(const Reported& input) { AddBoxes(input.boxes); }
  // --- launches (machine_launch.cpp)
  void On(const Launch&);
  void On(const LaunchEnded& input);
  void On(const WaitLost&);
  void On(const Switched& input);
  void On(const Started& input);
  void On(const NotStarted& input);
  void On(const PutBack& input);

 private:
  static bool IsResult(const Input& input);
  bool KeepsInput() const;
  // What follows once a box is answered, a start is over or the opening is:
  // the input kept, /exit's close, the window.
  void Settle();
  void FinishOpening();
  void RecoveryDone();
  void YesTo(const OnYes& onYes);
  // The way out: the settings back while the user font is active, then the
  // end, unless a start kept meanwhile goes on.
  void CloseByUser();
  void EndOrGoOn();
  void CloseNow();

  StartOrder Registered() const;
  bool Launchable() const { return !s_.program.empty() && !s_.font.empty(); }
  void RegisterProgram(const std::string& path);
  void TakeFiles(const HandedOver& input);
  void Apply(const StartOrder& order);
  bool LaunchFromIdle(const StartOrder& order);
  void LaunchWhileWaiting(const StartOrder& order);
  void PutBackThen(AfterPutBack then);
  void StartOver();
  void AfterLastProgram();
  std::vector<std::string> QueuedPrograms() const;

  void Emit(Effect effect) { effects_.push_back(std::move(effect)); }
  void Tell(std::string_view text);
  void Inform(std::string_view text);
  void Ask(std::string text, OnYes onYes);
  void AddBoxes(const std::vector<Box>& boxes);
  const Texts& texts() const { return context_.texts; }

  const MachineContext& context_;
  RunData s_;
  std::vector<Effect> effects_;
};

}  // namespace tavrel
