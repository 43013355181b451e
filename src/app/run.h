// The run: the program and font file the user chose, the switch of the EUDC
// font, the programs waited for and what comes next. The main window shows
// its Screen and forwards the user's input here; the message loop forwards
// the end of a waited program and asks whether the run has finished.
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

class Run {
 public:
  Run(const Seams& seams, IRunView& view);

  // --- start-up
  // Before any window of Tavrel's exists: false when another copy runs and
  // this copy ends, having handed its files over (or, without files, told the
  // user); else the caption is set. A copy that holds the lock without a
  // window (a logon's restore) is waited for.
  [[nodiscard]] bool GuardSingleInstance(const CommandLine& commandLine = {},
                                         ShowState startedAs = ShowState::Normal);
  // Registers the files of the command line as drops would, finds what it
  // leaves open beside the executable, puts back what an earlier copy left
  // switched and shows the window (minimised while it waits for a program
  // such a copy started); /exit ticks the check box, /run queues a launch.
  // A box the command line and the folder leave empty shows the file of the
  // last launch. `startedAs` is the show state Tavrel was started with (a
  // shortcut's): the program's with /run, the window's own without.
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
  // A second start of Tavrel handed its files over: taken as drops when idle
  // (and launched with /run); started at once beside a program waited for
  // with the same font; with another font, queued after it if the user says so.
  void HandOverReceived(const HandOver& handOver);
  // The system menu's item: a shortcut on the desktop that starts this
  // program with this font through Tavrel.
  void ShortcutRequested();

  // --- the message loop
  // The end signals of the programs waited for, in the order they started.
  [[nodiscard]] std::vector<WaitHandle> WaitHandles() const;
  void ProgramEnded(WaitHandle signal);
  // The wait on the programs failed: their end can no longer be known.
  void WaitFailed();
  [[nodiscard]] bool Finished() const { return screen_.closed; }

  const Screen& screen() const { return screen_; }
  // The texts in the display language, for the window too.
  const Texts& texts() const { return texts_; }
  bool UserFontActive() const { return switch_.UserFontActive(); }
  std::size_t LaunchesUnderWay() const { return launches_.size(); }

 private:
  // The programs of one launch, or those a recovery took over from an
  // earlier copy; the launch ends when the last of them has.
  struct Launch {
    std::vector<RunningProgram> programs;
    std::string program;  // what was started; empty for an earlier copy's
  };

  // start-up (run_start.cpp)
  void Refuse();
  std::string FirstNormalFile(std::string_view extension, std::string_view skipName);
  std::string StoredName(const std::string& path);
  // Acts on a journal left by a copy that ended before its restore; the
  // programs it names that still run, to wait for.
  Launch Recover();

  // the launch (run.cpp)
  bool FontFileIsUsable();
  bool SwitchToUserFont();
  // Puts the recorded settings back and tells the user what someone else
  // changed meanwhile (and, after a recovery, what came back); false, after
  // telling the user, when not all came back.
  bool SwitchBack(bool recovering = false);
  // Whether the journal there is another running copy's; the user is told.
  bool JournalOfAnotherCopy();
  bool WriterRuns(const JournalWriter& writer);
  void StartProgram();
  void RememberPair();
  // The file the settings remember under `name`, while it still exists.
  std::string Remembered(std::string_view name);
  void JournalProgram(const IRunningProgram& program);
  void EndLaunch(bool programsEnded);
  // The way out: the settings back while the user font is active, then the end.
  void Close();
  void Finish();

  void TakeHandOver(const HandOver& handOver);
  void RegisterProgram(const std::string& path);
  void RegisterFont(const std::string& path);
  // The shortcut that runs the registered program with the registered font.
  Shortcut ShortcutToRun() const;
  // Writes it to `file` and tells the user how that went.
  void WriteShortcut(const std::u16string& file, const std::string& name);
  bool Launchable() const { return !program_.empty() && !font_.empty(); }

  std::string ErrorText(ErrorCode error);
  std::string RestoreProblem(const RestoreStatus& status);
  // A message box titled "Tavrel": owned by the window once it is shown,
  // which comes back to its normal size first.
  bool Ask(const Box& box);
  // A problem the user cannot see otherwise; not while the session ends.
  void Tell(std::string_view text);
  // A report the user should see; not while the session ends.
  void Inform(std::string_view text);
  void TellReloadFailure();
  void Refresh() { view_.Show(screen_); }

  Seams seams_;
  IRunView& view_;
  const Texts texts_;
  FontSwitch switch_;
  std::u16string restoreCommand_;
  std::vector<Launch> launches_;
  std::string appDir_;
  std::string program_;
  std::string font_;
  // For the program the command line named: its arguments and how its
  // window shows; a program dropped since has neither.
  std::string arguments_;
  ShowState show_ = ShowState::Normal;
  Screen screen_;
  std::optional<HandOver> queued_;  // to start once the programs waited for have ended
  bool atLogon_ = false;
  std::vector<Box> logonBoxes_;  // shown once the logon's restore has given the lock back
  bool sessionEnding_ = false;
};

}  // namespace tavrel
