// The run: the program and font file the user chose, the switch of the EUDC
// font, the programs waited for and what comes next. The main window shows
// its Screen and forwards the user's input here; the message loop forwards
// the end of a waited program and asks whether the run has finished.
//
// The run is in one state at a time, and every input is a transition:
//
//   input \ state         Opening   Idle                     Waiting                         Closed
//   launch (button, /run) kept      switch, start: Waiting   same font: start it beside      -
//                                   (Idle if none started)   another: ask; Yes queues it
//   hand-over with /run   kept      take files, come         its files by the launch's rule  -
//     and a program                 forward, launch
//   hand-over otherwise,  kept      take the files           take the files                  -
//     drop                          (a hand-over: come forward)
//   a program's end       -         -                        last of all: put back, Idle;    -
//                                                            then the next queued start, or
//                                                            /exit's close, or the window
//   the wait fails, or    -         -                        tell; the font stays: Idle      -
//     a program's end
//     cannot be known
//   close (the user)      kept      put back: Closed         ask; Yes puts back: Closed      -
//   session end           at once in every state: put back, nothing asked: Closed
//   link, shortcut item   kept      as asked                 as asked                        -
//
// Nothing is shown in the middle of a transition. What it has to tell or ask
// is kept, and shown once the transition has returned; an answer comes back
// as one more input. Input that arrives while a box is up (its own message
// loop delivers it) is kept in order and handled after the box, but for the
// session's end, which cannot wait.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/run_view.h"
#include "app/texts.h"
#include "desktop/desktop.h"
#include "desktop/files.h"
#include "desktop/settings.h"
#include "desktop/shortcuts.h"
#include "eudc/font_switch.h"
#include "launch/launcher.h"

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

enum class DropBox { Program, Font };

// What a drag carries: the number of files and the first one's full path.
struct DropData {
  std::size_t count = 0;
  std::string first;  // UTF-8
};

enum class CloseReason {
  User,          // the close box, the system menu or the end button
  SessionEnds,   // Windows is ending the session: nothing is asked
};

enum class RunState {
  Opening,  // the window is not open yet: input waits until it is
  Idle,     // nothing is waited for: the user may launch
  Waiting,  // programs run with the user font (or an earlier copy's); more may be queued
  Closed,   // the window goes and the message loop ends
};

class Run {
 public:
  Run(const Seams& seams, IRunView& view);

  // --- start-up
  // Before any window of Tavrel's exists: false when another copy runs and
  // this copy ends, having handed its files over (or, without files, told the
  // user); else the caption is set. A copy that holds the lock without a
  // window (a logon's restore), or whose window does not answer, is waited
  // for: this copy goes on once the lock is free.
  [[nodiscard]] bool GuardSingleInstance(const CommandLine& commandLine = {},
                                         ShowState startedAs = ShowState::Normal);
  // Registers the files of the command line as drops would, finds what it
  // leaves open beside the executable, puts back what an earlier copy left
  // switched and shows the window (minimised while it waits for a program
  // such a copy started); /exit ticks the check box, /run launches, before
  // any input that arrived meanwhile. A box the command line and the folder
  // leave empty shows the file of the last launch. `startedAs` is the show
  // state Tavrel was started with (a shortcut's): the program's with /run,
  // the window's own without.
  void Open(const CommandLine& commandLine, ShowState startedAs = ShowState::Normal);
  // tavrel.exe /restore, as the RunOnce value runs it at logon: the recovery
  // without a window. The run has finished unless it waits for programs.
  void RestoreAtLogon();

  // --- the user's input
  void LaunchClicked();
  void CloseRequested(CloseReason reason);
  void ExitWhenDoneToggled();
  [[nodiscard]] bool Accepts(DropBox box, const DropData& data) const;
  void Dropped(DropBox box, const std::string& path);
  void LinkClicked();
  // A second start of Tavrel handed its files over. One that names a program
  // and says /run launches it as the launch button would, by the rule of the
  // state; any other registers its files as drops would.
  void HandOverReceived(const HandOver& handOver);
  // Whether a hand-over arriving now can still be handled: false once the
  // run is closing, so that the second start waits and goes on alone.
  [[nodiscard]] bool TakesHandOvers() const;
  // The system menu's item: a shortcut on the desktop that starts this
  // program with this font through Tavrel.
  void ShortcutRequested();

  // --- the message loop
  // The end signals of the programs waited for, in the order they started.
  [[nodiscard]] std::vector<WaitHandle> WaitHandles() const;
  void ProgramEnded(WaitHandle signal);
  // The wait on the programs failed: their end can no longer be known.
  void WaitFailed();
  [[nodiscard]] bool Finished() const { return state_ == RunState::Closed; }

  RunState state() const { return state_; }
  const Screen& screen() const { return screen_; }
  // The texts in the display language, for the window too.
  const Texts& texts() const { return texts_; }
  bool UserFontActive() const { return switch_.UserFontActive(); }

 private:
  // The programs of one launch, or those a recovery took over from an
  // earlier copy; the launch ends when the last of them has.
  struct Launch {
    std::vector<RunningProgram> programs;
    std::string program;  // what was started; empty for an earlier copy's
  };
  // What a launch starts: the program, its font, its arguments and how its
  // window first shows.
  struct StartOrder {
    std::string program;
    std::string font;
    std::string arguments;
    ShowState show = ShowState::Normal;
    bool exit = false;  // Tavrel is to end with it (a second start's /exit)
  };
  // One input, as data: kept while a box is up or a transition is under way.
  struct Input {
    enum class Kind {
      Launch, Drop, HandOver, ProgramEnded, WaitFailed, Close, ToggleExit, Link, Shortcut,
      StartQueued,  // the next queued start, once all before it have ended
    };
    Kind kind;
    DropBox box = DropBox::Program;  // Drop
    std::string path;                // Drop
    HandOver handOver;               // HandOver
    WaitHandle signal = nullptr;     // ProgramEnded
  };
  // A box to show once the transition under way has returned, and what a
  // Yes to it does.
  struct PendingBox {
    enum class OnYes { Nothing, Close, Queue, WriteShortcut };
    Box box;
    OnYes onYes = OnYes::Nothing;
    StartOrder order;      // Queue
    std::u16string file;   // WriteShortcut: where, and under which name
    std::string name;
  };

  // --- input (run.cpp)
  // Handles `input` now, or keeps it until the box that is up, the
  // transition under way or the opening is over.
  void Deliver(Input input);
  // The transition of `input` from the state the run is in.
  void Handle(const Input& input);
  void Answered(const PendingBox& box);
  // Handles what was kept, in order, showing each box once the transition
  // that asked for it has returned.
  void HandleKept();
  void ShowNextBox();
  // Windows is ending the session: at once, whatever is under way.
  void EndSession();
  Screen ScreenOfState() const;
  void Refresh();

  // start-up (run_start.cpp)
  void Refuse();
  void OpenWindow(const CommandLine& commandLine, ShowState startedAs);
  std::string FirstNormalFile(std::string_view extension, std::string_view skipName);
  std::string StoredName(const std::string& path);
  // Acts on a journal left by a copy that ended before its restore; the
  // programs it names that still run, to wait for.
  Launch Recover();
  void TakeOver(const JournalRecord& record);

  // the launch (run.cpp)
  void LaunchOrder(const StartOrder& order);
  void LaunchWhileIdle(const StartOrder& order);
  void LaunchWhileWaiting(const StartOrder& order);
  bool FontFileIsUsable(const std::string& font);
  bool SwitchToUserFont(const std::string& font);
  // Puts the recorded settings back and tells the user what someone else
  // changed meanwhile (and, after a recovery, what came back); false, after
  // telling the user, when not all came back.
  bool SwitchBack(bool recovering = false);
  // Whether the journal there is another running copy's; the user is told.
  bool JournalOfAnotherCopy();
  bool WriterRuns(const JournalWriter& writer);
  void StartProgram(const StartOrder& order);
  void RememberPair(const StartOrder& order);
  // The file the settings remember under `name`, while it still exists.
  std::string Remembered(std::string_view name);
  void JournalProgram(const IRunningProgram& program);
  void OnProgramEnded(WaitHandle signal);
  // The end of the programs can no longer be known: the font stays.
  void OnWaitFailed();
  // The last program waited for has ended (or their end is no longer known).
  void AllProgramsEnded(bool programsEnded);
  // Nothing is waited for any more: the next queued start, /exit's close,
  // or the window comes back.
  void AfterLastProgram();
  void StartQueued();
  // /exit: the run closes once nothing is waited for and nothing queued.
  void CloseIfDone();
  // The way out: the settings back while the user font is active, then the end.
  void Close();
  void Finish();

  // the rest of the input (run_input.cpp)
  StartOrder Registered() const { return StartOrder{program_, font_, arguments_, show_}; }
  void TakeHandOver(const HandOver& handOver);
  // By the command line's rules: full paths of existing files, a program
  // that is no .tte, a font that is one, and a readable size.
  bool IsSound(const HandOver& handOver);
  void RegisterProgram(const std::string& path);
  void RegisterFont(const std::string& path);
  // The shortcut that runs the registered program with the registered font.
  Shortcut ShortcutToRun() const;
  void OfferShortcut();
  // Writes it to `file` and tells the user how that went.
  void WriteShortcut(const std::u16string& file, const std::string& name);
  void OnHandOver(const HandOver& handOver);
  void OnDropped(DropBox box, const std::string& path);
  void OnCloseRequested();
  void OpenHomePage();
  bool Launchable() const { return !program_.empty() && !font_.empty(); }

  // --- telling the user (run.cpp)
  std::string ErrorText(ErrorCode error);
  std::string RestoreProblem(const RestoreStatus& status);
  // A question, and what a Yes to it does.
  void Ask(PendingBox question);
  // A problem the user cannot see otherwise; not while the session ends.
  void Tell(std::string_view text);
  // A report the user should see; not while the session ends.
  void Inform(std::string_view text);
  void TellReloadFailure();

  Seams seams_;
  IRunView& view_;
  const Texts texts_;
  FontSwitch switch_;
  std::u16string restoreCommand_;
  RunState state_ = RunState::Opening;
  std::vector<Launch> launches_;
  std::vector<StartOrder> queued_;  // each starts once all before it have ended
  std::string appDir_;
  std::string program_;
  std::string font_;
  // For the registered program: its arguments and how its window shows; a
  // program dropped since has neither.
  std::string arguments_;
  ShowState show_ = ShowState::Normal;
  std::string title_;
  std::string currentFont_;  // SystemDefaultEUDCFont as found at start-up
  bool exitWhenDone_ = false;
  bool visible_ = false;
  bool minimized_ = false;
  Screen screen_;
  std::vector<Input> kept_;                 // input to handle after what is under way
  std::optional<Input::Kind> first_;        // an input of the run's own, before those kept
  std::vector<PendingBox> boxes_;            // to show once the transition has returned
  bool busy_ = false;                       // a transition or a box is under way
  bool closeWhenQuiet_ = false;             // /exit's close, after the boxes and the input kept
  bool atLogon_ = false;
  bool sessionEnding_ = false;
};

}  // namespace tavrel
