// The run's start: the guard against a second copy, the files it starts
// with, and the recovery of settings an earlier copy left switched.
#include "app/file_kind.h"
#include "app/maker.h"
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
        break;  // the logon's restore has finished: this start goes on
    }
  }
  // This copy has no window yet, so a main window found belongs to another.
  const bool anotherIsOpen = desktop.AnotherCopyIsOpen();
  desktop.AnnounceGuardDecided();
  if (anotherIsOpen) {
    Refuse();
    return false;
  }
  screen_.title = WindowTitle();
  return true;
}

void Run::Refuse() {
  (void)seams_.desktop.Show(nullptr, Box{texts_.Fill(Text::AlreadyRunning, {kApplicationTitle}),
                                         BoxIcon::Information, BoxButtons::Ok});
}

void Run::Open(const CommandLine& commandLine, ShowState startedAs) {
  if (commandLine.error) {
    // Before the window shows, so that it opens as it would without them.
    (void)seams_.desktop.Show(nullptr, Box{texts_.ArgumentErrorMessage(*commandLine.error),
                                           BoxIcon::Warning, BoxButtons::Ok});
  }
  const std::string exePath = seams_.desktop.ExecutablePath();
  appDir_ = exePath.substr(0, exePath.rfind('\\') + 1);
  const std::string exeBaseName = BaseNameWithoutExtension(exePath);

  const KeyReading key = seams_.eudcKey.ReadAll();
  const RawValue* font = FindValue(key.values, kSystemDefaultEudcFont);
  screen_.currentFont = Utf16ToUtf8(font ? TextOf(*font).value_or(u"") : u"");

  // A file named on the command line is taken as a drop would take it; the
  // folder of the executable is searched only for what it leaves open.
  if (!commandLine.font.empty()) {
    RegisterFont(commandLine.font);
  } else if (const std::string name = FirstNormalFile(kFontExtension, ""); !name.empty()) {
    RegisterFont(appDir_ + name);
  } else if (const std::string last = Remembered("Font"); !last.empty()) {
    RegisterFont(last);
  } else {
    screen_.fontCaption = texts_.Get(Text::FontPrompt);
  }
  if (!commandLine.program.empty()) {
    RegisterProgram(commandLine.program);
  } else if (const std::string name = FirstNormalFile(kProgramExtension, exeBaseName + ".exe");
             !name.empty()) {
    RegisterProgram(appDir_ + name);
  } else if (const std::string last = Remembered("Program"); !last.empty()) {
    RegisterProgram(last);
  } else {
    screen_.programCaption = texts_.Get(Text::ProgramPrompt);
  }
  screen_.exitWhenDone = commandLine.exit;
  if (!commandLine.program.empty()) {
    arguments_ = commandLine.programArguments;
    if (commandLine.run) show_ = startedAs;
  }
  const bool launchable = Launchable();
  screen_.launchEnabled = launchable;

  Launch takenOver = Recover();
  screen_.visible = true;
  // A window of a fixed size has no maximised state: it opens normal then.
  screen_.minimized = !commandLine.run && startedAs == ShowState::Minimized;
  if (!takenOver.programs.empty()) {
    // Shown minimised, as during a launch of its own.
    launches_.push_back(std::move(takenOver));
    screen_.minimized = true;
    screen_.launchEnabled = false;
  }
  screen_.userFontActive = UserFontActive();
  Refresh();
  // From the message loop, once the window is on the screen: the launch then
  // runs exactly as from a click, and minimises a window the user has seen.
  // A queue too full to take it: the launch runs at once instead.
  if (commandLine.run && launchable && !view_.QueueLaunch()) LaunchClicked();
}

void Run::RestoreAtLogon() {
  atLogon_ = true;
  // Another copy runs: it does the work, at its launch's end or its next start.
  if (!seams_.desktop.TakeInstanceLock()) {
    Finish();
    return;
  }
  seams_.desktop.AnnounceGuardDecided();
  Launch takenOver = Recover();
  if (takenOver.programs.empty()) {
    Finish();  // what could not be put back is left to the next start or logon
    return;
  }
  // No window: a program that still runs is waited for all the same.
  launches_.push_back(std::move(takenOver));
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
  const std::optional<std::string> path = seams_.settings.Read(name);
  if (!path || path->empty() || !seams_.files.IsFile(Utf8ToUtf16(*path))) return {};
  return *path;
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
  switch_.Adopt(record);
  // The next logon must find the RunOnce value while the journal stays (an
  // older Tavrel's logon restore had Windows delete it first). Should it not
  // come back, the next start of Tavrel finds the journal all the same. At
  // logon it is not written while Windows runs it.
  if (!atLogon_) (void)switch_.KeepForLogon();
  Launch takenOver;
  for (const ProcessIdentity& program : record.programs) {
    if (RunningProgram running = seams_.launcher.FindRunning(program)) {
      takenOver.programs.push_back(std::move(running));
    }
  }
  if (takenOver.programs.empty()) SwitchBack(true);
  return takenOver;
}

}  // namespace tavrel
