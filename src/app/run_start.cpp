// The run's start: the guard against a second copy, the files it starts
// with, and the recovery of settings an earlier copy left switched.
#include "app/file_kind.h"
#include "app/maker.h"
#include "app/remembered_pair.h"
#include "app/run.h"
#include "app/version.h"
#include "base/text.h"

namespace tavrel {
namespace {


std::string WindowTitle() {
  return std::string(kApplicationTitle) + " [ Ver." + std::to_string(TAVREL_VERSION_MAJOR) + "." +
         std::to_string(TAVREL_VERSION_MINOR) + "." + std::to_string(TAVREL_VERSION_REVISION) +
         " ]";
}

std::string BaseNameWithoutExtension(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('\\') + 1);
  return std::string(name.substr(0, name.rfind('.')));
}

}  // namespace

bool Run::GuardSingleInstance(const CommandLine& commandLine, ShowState startedAs) {
  IDesktop& desktop = seams_.desktop;
  if (!desktop.TakeInstanceLock()) {
    if (commandLine.error) {
      // Checked before anything is sent: what is wrong, and how Tavrel is
      // started. What remains of the start is then as without files.
      (void)desktop.Show(nullptr, Box{texts_.ArgumentErrorMessage(*commandLine.error), BoxIcon::Warning,
                                      BoxButtons::Ok});
    }
    if (commandLine.program.empty() && commandLine.font.empty()) {
      // Until the holder has looked for other copies, a refusal box of ours
      // could be taken for one.
      desktop.AwaitGuardDecision();
      Refuse();
      return false;
    }
    const HandOver handOver{commandLine.run, commandLine.exit, startedAs, commandLine.program,
                            commandLine.font, commandLine.programArguments};
    switch (desktop.HandToRunningCopy(handOver)) {
      case IDesktop::HandOverResult::Delivered:
        return false;
      case IDesktop::HandOverResult::Refused:
        Refuse();
        return false;
      case IDesktop::HandOverResult::LockTaken:
        break;  // the copy that held it has ended: this start goes on
    }
  }
  // This copy has no window yet, so a main window found belongs to another.
  const bool anotherIsOpen = desktop.AnotherCopyIsOpen();
  desktop.AnnounceGuardDecided();
  if (anotherIsOpen) {
    Refuse();
    return false;
  }
  title_ = WindowTitle();
  screen_.title = title_;
  return true;
}

void Run::Refuse() {
  (void)seams_.desktop.Show(nullptr, Box{texts_.Fill(Text::AlreadyRunning, {kApplicationTitle}),
                                         BoxIcon::Information, BoxButtons::Ok});
}

void Run::Open(const CommandLine& commandLine, ShowState startedAs) {
  if (commandLine.error) {
    // Before the window shows, so that it opens as it would without them.
    Tell(texts_.ArgumentErrorMessage(*commandLine.error));
    HandleKept();
    if (state_ == RunState::Closed) return;  // the session ended meanwhile
  }
  busy_ = true;
  OpenWindow(commandLine, startedAs);
  // What the opening has to tell (a recovery's report) comes before the
  // window, standing alone.
  while (!boxes_.empty() && state_ != RunState::Closed) ShowNextBox();
  if (state_ == RunState::Closed) {
    busy_ = false;
    return;
  }
  visible_ = true;
  Refresh();
  // The launch of /run, then what came meanwhile.
  HandleKept();
}

void Run::OpenWindow(const CommandLine& commandLine, ShowState startedAs) {
  const std::string exePath = seams_.desktop.ExecutablePath();
  appDir_ = exePath.substr(0, exePath.rfind('\\') + 1);
  const std::string exeBaseName = BaseNameWithoutExtension(exePath);

  const KeyReading key = seams_.eudcKey.ReadAll(seams_.eudcKey.ActiveCodePage());
  const RawValue* font = FindValue(key.values, kSystemDefaultEudcFont);
  currentFont_ = Utf16ToUtf8(font ? TextOf(*font).value_or(u"") : u"");

  // A file named on the command line is taken as a drop would take it; the
  // folder of the executable is searched only for what it leaves open.
  if (!commandLine.font.empty()) {
    RegisterFont(commandLine.font);
  } else if (const std::string name = FirstNormalFile(kFontExtension, ""); !name.empty()) {
    RegisterFont(appDir_ + name);
  } else if (const std::string last = Remembered("Font"); !last.empty()) {
    RegisterFont(last);
  }
  if (!commandLine.program.empty()) {
    RegisterProgram(commandLine.program);
  } else if (const std::string name = FirstNormalFile(kProgramExtension, exeBaseName + ".exe");
             !name.empty()) {
    RegisterProgram(appDir_ + name);
  } else if (const std::string last = Remembered("Program"); !last.empty()) {
    RegisterProgram(last);
  }
  exitWhenDone_ = commandLine.exit;
  // However the program was found: what follows -- and the shortcut's show
  // state are for it.
  arguments_ = JoinArguments(arguments_, commandLine.programArguments);
  if (commandLine.run) show_ = startedAs;

  Launch takenOver = Recover();
  // A window of a fixed size has no maximised state: it opens normal then.
  minimized_ = !commandLine.run && startedAs == ShowState::Minimized;
  state_ = RunState::Idle;
  if (!takenOver.programs.empty()) {
    // Shown minimised, as during a launch of its own.
    launches_.push_back(std::move(takenOver));
    minimized_ = true;
    state_ = RunState::Waiting;
  }
  // Before any input that came while the window opened, and by the same
  // rule as a click: beside the programs taken over, or queued after them.
  if (commandLine.run && Launchable()) first_ = Input::Kind::Launch;
}

void Run::RestoreAtLogon() {
  atLogon_ = true;
  busy_ = true;
  // Another copy runs: it does the work, at its launch's end or its next start.
  if (!seams_.desktop.TakeInstanceLock()) {
    Finish();
  } else {
    seams_.desktop.AnnounceGuardDecided();
    Launch takenOver = Recover();
    if (takenOver.programs.empty()) {
      Finish();  // what could not be put back is left to the next start or logon
    } else {
      // No window: a program that still runs is waited for all the same.
      launches_.push_back(std::move(takenOver));
      state_ = RunState::Waiting;
    }
  }
  HandleKept();
}

std::string Run::FirstNormalFile(std::string_view extension, std::string_view skipName) {
  for (const FolderEntry& entry : seams_.files.List(Utf8ToUtf16(appDir_ + "*" + std::string(extension)))) {
    const std::string name = Utf16ToUtf8(entry.name);
    // On volumes with 8.3 names the pattern matches short names too:
    // "Tavrel.exe_old" is found by "*.exe" as TAVREL~1.EXE. Its long name,
    // which the search reports, decides, as for a drop.
    if (entry.normalFile && LastFourLowered(name) == extension && !EqualIgnoringCase(name, skipName)) {
      return name;
    }
  }
  return {};
}

std::string Run::Remembered(std::string_view name) {
  RememberedPair pair(seams_.settings, seams_.files, appDir_);
  return name == "Program" ? pair.Program() : pair.Font();
}

std::string Run::StoredName(const std::string& path) {
  const std::vector<FolderEntry> found = seams_.files.List(Utf8ToUtf16(path));
  if (found.empty() || !found.front().normalFile) return {};
  return Utf16ToUtf8(found.front().name);
}

// --- the recovery

Run::Launch Run::Recover() {
  const JournalReading reading = switch_.ReadJournal();
  if (reading.state == JournalState::Absent) return {};
  if (reading.state == JournalState::Unreadable) {
    // Never a guess: the record stays for whoever can read it.
    Tell(texts_.JournalUnreadable(reading.error ? ErrorText(reading.error) : ""));
    return {};
  }
  const JournalRecord& record = reading.record;
  // Another logon session of the same user shares the registry: a copy there
  // is still using its record.
  if (WriterRuns(record.writer)) return {};
  TakeOver(record);
  Launch takenOver;
  for (const ProcessIdentity& program : record.programs) {
    if (RunningProgram running = seams_.launcher.FindRunning(program)) {
      takenOver.programs.push_back(std::move(running));
    }
  }
  if (takenOver.programs.empty()) SwitchBack(true);
  return takenOver;
}

// The record becomes this copy's, durably, before anything is waited for or
// put back: a copy in another logon session then sees its writer running.
void Run::TakeOver(const JournalRecord& record) {
  if (const JournalStatus adopted = switch_.Adopt(record); !adopted.ok()) {
    Tell(texts_.JournalNotTakenOver(Utf16ToUtf8(adopted.where), ErrorText(adopted.error)));
  }
  // The next logon must find the RunOnce value while the journal stays (an
  // older Tavrel's logon restore had Windows delete it first). Should it not
  // come back, the next start of Tavrel finds the journal all the same. At
  // logon it is not written while Windows runs it.
  if (!atLogon_) (void)switch_.KeepForLogon();
}

}  // namespace tavrel
