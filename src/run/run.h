// The runner: holds the run's state, feeds it every input through the
// machine (machine.h) and carries out the effects that come back, each
// result fed back as one more input. It decides nothing: the main window
// forwards the user's input here and shows the Screen and the boxes it is
// given; the message loop forwards the end of a waited program.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line/command_line.h"
#include "shortcuts/program_to_start.h"
#include "settings/remembered_pair.h"
#include "run/run_view.h"
#include "texts/texts.h"
#include "desktop/desktop.h"
#include "files/files.h"
#include "settings/settings.h"
#include "shortcuts/shortcuts.h"
#include "eudc/font_switch.h"
#include "launch/launcher.h"
#include "run/machine.h"

namespace tavrel {

// The platform below the run.
struct Seams {
  IEudcKey& eudcKey;
  IJournalStore& journalStore;
  ILauncher& launcher;
  IDesktop& desktop;
  IFiles& files;
  ISettings& settings;
  IShortcuts& shortcuts;
};

// What a drag carries: the number of files and the first one's full path.
struct DropData {
  std::size_t count = 0;
  std::string first;  // UTF-8
};

enum class CloseReason {
  User,         // the close box, the system menu or the end button
  SessionEnds,  // Windows is ending the session: nothing is asked
};

class Run {
 public:
  Run(const Seams& seams, IRunView& view);

  // --- start-up (run_start.cpp)
  // Before any window of Tavrel's exists: false when another copy runs and
  // this copy ends, having handed its files over (or, without files, told the
  // user); else the caption is set. A copy that holds the lock without a
  // window (a logon's restore), or whose window does not answer, is waited
  // for: this copy goes on once the lock is free.
  [[nodiscard]] bool GuardSingleInstance(const CommandLine& commandLine = {},
                                         ShowState startedAs = ShowState::Normal);
  // Registers the files of the command line as drops would, finds what it
  // leaves open beside the executable (or else the last launch's), puts back
  // what an earlier copy left switched and shows the window; /exit ticks the
  // check box, /run launches, before any input that arrived meanwhile.
  // `startedAs` is the show state Tavrel was started with (a shortcut's): the
  // program's with /run, the window's own without.
  void Open(const CommandLine& commandLine, ShowState startedAs = ShowState::Normal);
  // tavrel.exe /restore, as the RunOnce value runs it at logon: the recovery
  // without a window. The run has finished unless it waits for programs.
  void RestoreAtLogon();

  // --- the user's input
  void LaunchClicked() { Feed(Launch{}); }
  void CloseRequested(CloseReason reason);
  void ExitWhenDoneToggled() { Feed(ToggleExit{}); }
  [[nodiscard]] bool Accepts(DropBox box, const DropData& data) const;
  void Dropped(DropBox box, const std::string& path);
  void LinkClicked() { Feed(HomePageAsked{}); }
  // A second start of Tavrel handed its files over.
  void HandOverReceived(const HandOver& handOver);
  // Whether a hand-over arriving now can still be handled: false once the
  // run is closing, so that the second start waits and goes on alone.
  [[nodiscard]] bool TakesHandOvers() const { return tavrel::TakesHandOvers(data_); }
  // The system menu's item: a shortcut on the desktop that starts this
  // program with this font through Tavrel.
  void ShortcutRequested() { Feed(ShortcutAsked{}); }
  // A problem of the window's own, told in turn with the run's boxes.
  void Tell(std::string text) { Feed(Reported{{Box{std::move(text), BoxIcon::Warning, BoxButtons::Ok}}}); }
  // The window could not finish its start: told, then closed.
  void WindowFailed(std::string_view text) { Feed(tavrel::WindowFailed{std::string(text)}); }

  // --- the message loop
  // The end signals of the programs waited for, in the order they started.
  [[nodiscard]] std::vector<WaitHandle> WaitHandles() const;
  void ProgramEnded(WaitHandle signal);
  // The wait on the programs failed: their end can no longer be known.
  void WaitFailed() { Feed(WaitLost{}); }
  [[nodiscard]] bool Finished() const { return data_.state == RunState::Closed; }

  RunState state() const { return data_.state; }
  const Screen& screen() const { return screen_; }
  // The texts in the display language, for the window too.
  const Texts& texts() const { return texts_; }

 private:
  // Handles `input` now; boxes follow once nothing else is under way.
  void Feed(const Input& input);
  void Apply(const Input& input);
  void ShowBoxes();

  // --- the effects (run_effects.cpp), each with the input that answers it
  std::optional<Input> Execute(const Effect& effect);
  JournalFound LookAtJournal();
  TookOver AdoptJournal();
  Switched SwitchTo(const std::string& font);
  Input Start(const StartOrder& order);
  PutBack SwitchBack(const PutSettingsBack& how);
  void DropEndedLaunches();
  void Remember(const StartOrder& order);
  Reported OpenHome();
  ShortcutPlace FindShortcutPlace(const std::string& program);
  Reported MakeShortcut(const WriteShortcut& shortcut);
  // Whether the font can be switched in: readable, and a font.
  std::optional<Box> FontProblem(const std::string& font);

  // --- facts the input carries (run_start.cpp)
  OpenFacts FactsOf(const CommandLine& commandLine, ShowState startedAs);
  std::string FirstNormalFile(std::string_view extension, std::string_view skipName);
  // The path with the file's long name, as the folder stores it.
  std::string LongName(const std::string& path);
  // What starts for the program given (a shortcut's target, its arguments
  // and folder); nothing, with the user told why, for a shortcut that
  // starts no program.
  std::optional<ProgramToStart> ProgramOf(const std::string& path, std::string& refusal);
  RememberedPair Pair();
  // By the command line's rules: full paths of existing files, a program
  // that is no .tte, a font that is one, and a readable size.
  bool FollowsTheRules(const HandOver& handOver);
  bool WriterRuns(const JournalWriter& writer);

  std::string ErrorText(ErrorCode error);
  std::string RestoreProblem(const RestoreStatus& status);
  std::vector<Box> SwitchBoxes(const SwitchResult& result);
  void AddReloadFailure(std::vector<Box>& boxes);

  Seams seams_;
  IRunView& view_;
  const Texts texts_;
  FontSwitch switch_;
  std::u16string restoreCommand_;
  MachineContext context_;
  RunData data_;
  Screen screen_;
  std::map<int, std::vector<RunningProgram>> programs_;  // by launch
  int lastLaunch_ = 0;
  JournalReading found_;  // the journal the opening found, to take over
  bool busy_ = false;     // an effect or a box is under way: input only joins the state
};

}  // namespace tavrel
