// The runner's effects: each carried out against the seams, and answered by
// the input that says how it went.
#include <algorithm>
#include <utility>

#include "files/file_kind.h"
#include "product/maker.h"
#include "run/start_failure.h"
#include "base/overloaded.h"
#include "base/text.h"
#include "run/run.h"

namespace tavrel {
namespace {

std::string Quoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

Box Warning(std::string text) { return Box{std::move(text), BoxIcon::Warning, BoxButtons::Ok}; }
Box Information(std::string text) { return Box{std::move(text), BoxIcon::Information, BoxButtons::Ok}; }

}  // namespace

std::optional<Input> Run::Execute(const Effect& effect) {
  return std::visit(
      Overloaded{
          [&](const ReadJournal&) -> std::optional<Input> { return LookAtJournal(); },
          [&](const TakeOverJournal&) -> std::optional<Input> { return AdoptJournal(); },
          [&](const SwitchFont& e) -> std::optional<Input> { return SwitchTo(e.font); },
          [&](const StartProgram& e) -> std::optional<Input> { return Start(e.order); },
          [&](const PutSettingsBack& e) -> std::optional<Input> { return SwitchBack(e); },
          [&](const ForgetLaunches&) -> std::optional<Input> {
            DropEndedLaunches();
            return std::nullopt;
          },
          [&](const RememberPair& e) -> std::optional<Input> {
            Remember(e.order);
            return std::nullopt;
          },
          [&](const BringToFront&) -> std::optional<Input> {
            view_.BringToFront();
            return std::nullopt;
          },
          [&](const OpenHomePage&) -> std::optional<Input> { return OpenHome(); },
          [&](const PlaceShortcut& e) -> std::optional<Input> { return FindShortcutPlace(e.program); },
          [&](const WriteShortcut& e) -> std::optional<Input> { return MakeShortcut(e); },
          [&](const ReleaseLock&) -> std::optional<Input> {
            seams_.desktop.ReleaseInstanceLock();
            return std::nullopt;
          },
          [&](const Replay& e) -> std::optional<Input> {
            for (const Input& input : e.inputs) {
              if (data_.state != RunState::Closed) Apply(input);
            }
            return std::nullopt;
          },
      },
      effect);
}

// --- the journal an earlier copy left

JournalFound Run::LookAtJournal() {
  found_ = switch_.ReadJournal();
  switch (found_.state) {
    case JournalState::Absent: return JournalFound{};
    case JournalState::Unreadable:
      return JournalFound{JournalFound::Kind::Unreadable,
                          texts_.JournalUnreadable(found_.error ? ErrorText(found_.error) : "")};
    case JournalState::Read: break;
  }
  // Another logon session of the same user shares the registry: a copy there
  // is still using its record.
  if (WriterRuns(found_.record.writer)) return JournalFound{JournalFound::Kind::OfARunningCopy, {}};
  return JournalFound{JournalFound::Kind::Left, {}};
}

// The record becomes this copy's, durably, before anything is waited for or
// put back: a copy in another logon session then sees its writer running.
TookOver Run::AdoptJournal() {
  TookOver took;
  const JournalRecord record = found_.record;
  if (const JournalStatus adopted = switch_.Adopt(record); !adopted.ok()) {
    took.problems.push_back(texts_.JournalNotTakenOver(Utf16ToUtf8(adopted.where), ErrorText(adopted.error)));
  }
  // The next logon must find the RunOnce value while the journal stays (an
  // older Tavrel's logon restore had Windows delete it first). Should it not
  // come back, the next start of Tavrel finds the journal all the same. At
  // logon it is not written while Windows runs it.
  if (!data_.atLogon) (void)switch_.KeepForLogon();
  took.font = Utf16ToUtf8(switch_.Record().writtenPath);
  std::vector<RunningProgram> running;
  for (const ProcessIdentity& program : record.programs) {
    if (RunningProgram found = seams_.launcher.FindRunning(program)) running.push_back(std::move(found));
  }
  if (!running.empty()) {
    took.launch = ++lastLaunch_;
    programs_[*took.launch] = std::move(running);
  }
  return took;
}

bool Run::WriterRuns(const JournalWriter& writer) {
  // A record this very process wrote (and could not remove) is its own.
  return writer.process.processId != 0 && writer.process != seams_.launcher.Self() &&
         seams_.launcher.FindRunning(writer.process) != nullptr;
}

// --- the switch and the start

std::optional<Box> Run::FontProblem(const std::string& font) {
  const FileHead head = seams_.files.ReadHead(Utf8ToUtf16(font), 4);
  if (head.error != kSuccess) {
    const bool missing = head.error == kFileNotFound || head.error == kPathNotFound;
    return Warning(missing ? texts_.FontMissing(font, ErrorText(head.error))
                           : texts_.FontUnreadable(font, ErrorText(head.error)));
  }
  if (!BeginsLikeAFont(head.bytes)) return Warning(texts_.NotAFont(font));
  return std::nullopt;
}

Switched Run::SwitchTo(const std::string& font) {
  if (std::optional<Box> problem = FontProblem(font)) return Switched{false, {std::move(*problem)}};
  if (!switch_.UserFontActive()) {
    const JournalReading reading = switch_.ReadJournal();
    if (reading.state == JournalState::Read && WriterRuns(reading.record.writer)) {
      return Switched{false, {Warning(texts_.JournalOfAnotherCopy(reading.record.writer.session))}};
    }
  }
  const SwitchResult result = switch_.SwitchTo(Utf8ToUtf16(font));
  return Switched{result.status.ok(), SwitchBoxes(result)};
}

std::vector<Box> Run::SwitchBoxes(const SwitchResult& result) {
  std::vector<Box> boxes;
  if (result.status.ok()) {
    AddReloadFailure(boxes);
    if (!result.kept.empty()) boxes.push_back(Information(texts_.KeptChanged(switch_.Record().codePage, result.kept)));
    return boxes;
  }
  const std::string restoreProblem = result.undone ? RestoreProblem(*result.undone) : "";
  std::string problem = texts_.SwitchFailed(result.status, ErrorText(result.status.error),
                                            result.undone && restoreProblem.empty());
  if (!restoreProblem.empty()) problem += "\r\n\r\n" + restoreProblem;
  boxes.push_back(Warning(std::move(problem)));
  return boxes;
}

Input Run::Start(const StartOrder& order) {
  // In its own folder, as Explorer and a new shortcut start it: an older
  // program opens its data and saves by relative paths.
  StartOutcome outcome = seams_.launcher.Start(
      StartRequest{Utf8ToUtf16(order.program), Utf8ToUtf16(order.arguments),
                   Utf8ToUtf16(order.folder.empty() ? FolderOf(order.program) : order.folder), order.show,
                   view_.Owner()});
  switch (outcome.result) {
    case StartOutcome::Result::Started: {
      const int launch = ++lastLaunch_;
      // The shell's prompt runs a message loop: the session may have ended
      // meanwhile, and the settings gone back. Nothing more is journalled.
      if (data_.state == RunState::Closed) return Started{launch};
      // Should this fail, the launch goes on all the same: only a recovery
      // after Tavrel itself was killed would then put the settings back
      // without waiting for this program.
      if (const std::optional<ProcessIdentity> identity = outcome.program->Identity()) {
        (void)switch_.AddProgram(*identity);
      }
      programs_[launch].push_back(std::move(outcome.program));
      return Started{launch};
    }
    case StartOutcome::Result::HandedOver: return NotStarted{NotStarted::Kind::HandedOver, {}};
    case StartOutcome::Result::Cancelled: return NotStarted{NotStarted::Kind::Cancelled, {}};
    case StartOutcome::Result::Failed: break;
  }
  return NotStarted{NotStarted::Kind::Failed,
                    StartFailureText(texts_, seams_.desktop, seams_.files, order.program, outcome.error)};
}

PutBack Run::SwitchBack(const PutSettingsBack& how) {
  const RestoreStatus status = switch_.SwitchBack();
  PutBack result{status.complete() && status.journal.ok(), switch_.UserFontActive(), {}};
  if (how.silent) return result;
  const std::string kept = status.kept.empty() ? "" : texts_.KeptChanged(status.codePage, status.kept);
  if (const std::string problem = RestoreProblem(status); !problem.empty()) {
    result.boxes.push_back(Warning(kept.empty() ? problem : problem + "\r\n\r\n" + kept));
    return result;
  }
  AddReloadFailure(result.boxes);
  const std::string back = how.recovering && !status.putBack.empty() ? texts_.Recovered(status.putBack) : "";
  if (!back.empty() || !kept.empty()) {
    result.boxes.push_back(Information(back.empty() ? kept : kept.empty() ? back : back + "\r\n\r\n" + kept));
  }
  return result;
}

void Run::DropEndedLaunches() {
  std::erase_if(programs_, [&](const auto& entry) {
    return std::none_of(data_.launches.begin(), data_.launches.end(),
                        [&](const LaunchRecord& launch) { return launch.id == entry.first; });
  });
}

// Where the settings file cannot be written, nothing is remembered: the next
// start finds its files beside the executable as before.
void Run::Remember(const StartOrder& order) { (void)Pair().Store(order.program, order.font); }

// --- the link and the desktop shortcut

Reported Run::OpenHome() {
  if (const ErrorCode error = seams_.launcher.Open(Utf8ToUtf16(kHomePageUrl), view_.Owner()); error != kSuccess) {
    return Reported{{Warning(texts_.LinkNotOpened(kHomePageUrl, ErrorText(error)))}};
  }
  return Reported{};
}

ShortcutPlace Run::FindShortcutPlace(const std::string& program) {
  const std::string name = texts_.ShortcutName(program);
  const FolderPath desktop = seams_.shortcuts.DesktopFolder();
  if (desktop.error != kSuccess) return ShortcutPlace{{}, name, false, texts_.ShortcutNotCreated(name, ErrorText(desktop.error))};
  const std::u16string file = desktop.path + u"\\" + Utf8ToUtf16(name);
  return ShortcutPlace{file, name, seams_.files.IsFile(file), {}};
}

// Tavrel starts the program with the font and ends with it; the shortcut
// looks like the program and starts in its folder, as one of its own would.
Reported Run::MakeShortcut(const WriteShortcut& shortcut) {
  const Shortcut link{Utf8ToUtf16(seams_.desktop.ExecutablePath()),
                      Utf8ToUtf16("/run /exit " + Quoted(shortcut.program) + " " + Quoted(shortcut.font)),
                      Utf8ToUtf16(FolderOf(shortcut.program)), Utf8ToUtf16(shortcut.program), 0};
  if (const ErrorCode error = seams_.shortcuts.Write(shortcut.file, link); error != kSuccess) {
    return Reported{{Warning(texts_.ShortcutNotCreated(Utf16ToUtf8(shortcut.file), ErrorText(error)))}};
  }
  return Reported{{Information(texts_.ShortcutCreated(shortcut.name))}};
}

// --- telling the user

std::string Run::ErrorText(ErrorCode error) { return texts_.ErrorText(seams_.desktop.ErrorText(error, ""), error); }

std::string Run::RestoreProblem(const RestoreStatus& status) {
  if (!status.complete()) {
    std::vector<std::pair<std::u16string, std::string>> failed;
    for (const WriteFailure& f : status.failed) failed.emplace_back(f.name, ErrorText(f.error));
    std::string text = texts_.RestoreFailed(status.codePage, failed);
    if (!status.journal.ok()) {
      text += "\r\n\r\n" + texts_.LogonRestoreNotSet(Utf16ToUtf8(status.journal.where), ErrorText(status.journal.error));
    }
    return text;
  }
  if (!status.journal.ok()) {
    return texts_.JournalNotRemoved(Utf16ToUtf8(status.journal.where), ErrorText(status.journal.error));
  }
  return {};
}

void Run::AddReloadFailure(std::vector<Box>& boxes) {
  if (const ErrorCode error = switch_.ReloadError(); error != kSuccess) {
    boxes.push_back(Warning(texts_.ReloadFailed(ErrorText(error))));
  }
}

}  // namespace tavrel
