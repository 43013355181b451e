// The run's start: the guard against a second copy, and the facts the
// opening begins with -- the files it starts with, from the command line,
// beside the executable or from the last launch.
#include "files/file_kind.h"
#include "product/maker.h"
#include "product/version.h"
#include "base/text.h"
#include "run/run.h"

namespace tavrel {
namespace {

std::string WindowTitle() {
  return std::string(kApplicationTitle) + " [ Ver." + std::to_string(TAVREL_VERSION_MAJOR) + "." +
         std::to_string(TAVREL_VERSION_MINOR) + "." + std::to_string(TAVREL_VERSION_REVISION) + " ]";
}

std::string BaseNameWithoutExtension(std::string_view path) {
  return std::string(WithoutExtension(FileNameOf(path)));
}

// Paths and arguments longer than Windows takes in a command line are no
// second start's.
constexpr std::size_t kLongestCommandLine = 32767;

bool FitsACommandLine(std::string_view text) { return Utf8ToUtf16(text).size() <= kLongestCommandLine; }

}  // namespace

bool Run::GuardSingleInstance(const CommandLine& commandLine, ShowState startedAs) {
  IDesktop& desktop = seams_.desktop;
  const Box refusal{texts_.Fill(Text::AlreadyRunning, {kApplicationTitle}), BoxIcon::Information, BoxButtons::Ok};
  // Owned after a kill goes on as owned: the recovery finds the journal.
  if (desktop.TakeInstanceLock() == IDesktop::InstanceLock::HeldByAnother) {
    std::vector<Box> boxes;
    if (commandLine.error) {
      // Checked before anything is sent: what is wrong, and how Tavrel is
      // started. What remains of the start is then as without files.
      boxes.push_back(Box{texts_.ArgumentErrorMessage(*commandLine.error), BoxIcon::Warning, BoxButtons::Ok});
    }
    if (commandLine.program.empty() && commandLine.font.empty()) {
      // Until the holder has looked for other copies, a refusal box of ours
      // could be taken for one. A holder without a window (a logon's
      // restore, a copy in its last moments) is waited for; this start then
      // goes on as the first copy.
      desktop.AwaitGuardDecision();
      if (!desktop.AwaitLockWhileNoCopyIsOpen()) {
        boxes.push_back(refusal);
        Feed(Refused{boxes});
        return false;
      }
    } else {
      const HandOver handOver{commandLine.run, commandLine.exit, startedAs, commandLine.program,
                              commandLine.font, commandLine.programArguments};
      switch (desktop.HandToRunningCopy(handOver)) {
        case IDesktop::HandOverResult::Delivered:
          Feed(Refused{boxes});
          return false;
        case IDesktop::HandOverResult::Refused:
          boxes.push_back(refusal);
          Feed(Refused{boxes});
          return false;
        case IDesktop::HandOverResult::LockTaken:
          break;  // the copy that held it has ended: this start goes on
      }
    }
  }
  // This copy has no window yet, so a main window found belongs to another.
  const bool anotherIsOpen = desktop.AnotherCopyIsOpen();
  desktop.AnnounceGuardDecided();
  if (anotherIsOpen) {
    Feed(Refused{{refusal}});
    return false;
  }
  screen_.title = WindowTitle();
  return true;
}

void Run::Open(const CommandLine& commandLine, ShowState startedAs) {
  Feed(Begin{FactsOf(commandLine, startedAs)});
}

void Run::RestoreAtLogon() {
  // Another copy runs: it does the work, at its launch's end or its next start.
  const bool lockTaken = seams_.desktop.TakeInstanceLock() != IDesktop::InstanceLock::HeldByAnother;
  if (lockTaken) seams_.desktop.AnnounceGuardDecided();
  Feed(BeginAtLogon{lockTaken});
}

// A file named on the command line is taken as a drop would take it; the
// folder of the executable is searched only for what it leaves open, and the
// last launch's files fill what the folder leaves empty.
OpenFacts Run::FactsOf(const CommandLine& commandLine, ShowState startedAs) {
  const std::string exePath = seams_.desktop.ExecutablePath();
  const std::string appDir = DirectoryOf(exePath);
  OpenFacts facts;
  facts.title = WindowTitle();
  if (!commandLine.font.empty()) {
    facts.font = commandLine.font;
  } else if (const std::string name = FirstNormalFile(kFontExtension, ""); !name.empty()) {
    facts.font = appDir + name;
  } else {
    facts.font = Pair().Font();
  }
  std::string program = commandLine.program;
  if (program.empty()) program = FirstNormalFile(kProgramExtension, BaseNameWithoutExtension(exePath) + ".exe");
  if (!program.empty() && commandLine.program.empty()) program = appDir + program;
  if (program.empty()) program = Pair().Program();
  std::string refusal;
  if (const std::optional<ProgramToStart> start = program.empty() ? std::nullopt : ProgramOf(program, refusal)) {
    facts.program = start->program;
    facts.arguments = start->arguments;
    facts.folder = start->folder;
  }
  facts.exit = commandLine.exit;
  // However the program was found: what follows -- and the shortcut's show
  // state are for it.
  facts.arguments = JoinArguments(facts.arguments, commandLine.programArguments);
  facts.show = commandLine.run ? startedAs : ShowState::Normal;
  facts.run = commandLine.run;
  // A window of a fixed size has no maximised state: it opens normal then.
  facts.startMinimized = startedAs == ShowState::Minimized;
  if (commandLine.error) facts.problem = texts_.ArgumentErrorMessage(*commandLine.error);
  if (!refusal.empty()) facts.problem += (facts.problem.empty() ? "" : "\r\n\r\n") + refusal;
  return facts;
}

std::string Run::FirstNormalFile(std::string_view extension, std::string_view skipName) {
  const std::string appDir = DirectoryOf(seams_.desktop.ExecutablePath());
  for (const FolderEntry& entry : seams_.files.List(Utf8ToUtf16(appDir + "*" + std::string(extension)))) {
    const std::string name = Utf16ToUtf8(entry.name);
    // On volumes with 8.3 names the pattern matches short names too:
    // "Tavrel.exe_old" is found by "*.exe" as TAVREL~1.EXE. Its long name,
    // which the search reports, decides, as for a drop.
    if (entry.normalFile && HasExtension(name, extension) && !EqualIgnoringCase(name, skipName)) {
      return name;
    }
  }
  return {};
}

RememberedPair Run::Pair() {
  return RememberedPair(seams_.settings, seams_.files, DirectoryOf(seams_.desktop.ExecutablePath()));
}

std::optional<ProgramToStart> Run::ProgramOf(const std::string& path, std::string& refusal) {
  ProgramToStart start = ResolveProgram(path, seams_.shortcuts, seams_.files);
  if (start.refusal != ProgramRefusal::None) {
    refusal = texts_.ProgramRefused(path, start, ErrorText(start.error));
    return std::nullopt;
  }
  start.program = LongName(start.program);
  return start;
}

// The folder is the path up to its last backslash: a short (8.3) path has a
// longer long name, so its length says nothing of the folder.
std::string Run::LongName(const std::string& path) {
  const std::vector<FolderEntry> found = seams_.files.List(Utf8ToUtf16(path));
  if (found.empty() || !found.front().normalFile) return path;
  return DirectoryOf(path) + Utf16ToUtf8(found.front().name);
}

bool Run::FollowsTheRules(const HandOver& handOver) {
  if (handOver.program.empty() && handOver.font.empty()) return false;
  if (!FitsACommandLine(handOver.arguments)) return false;
  const auto existingFile = [&](const std::string& path) {
    return IsFullPath(path) && FitsACommandLine(path) && seams_.files.IsFile(Utf8ToUtf16(path));
  };
  if (!handOver.program.empty() && (IsFontPath(handOver.program) || !existingFile(handOver.program))) {
    return false;
  }
  return handOver.font.empty() ||
         (IsFontPath(handOver.font) && existingFile(handOver.font) && IsFontFile(seams_.files, handOver.font));
}

}  // namespace tavrel
