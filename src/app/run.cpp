#include "app/run.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "app/file_kind.h"
#include "app/maker.h"
#include "app/messages.h"
#include "base/text.h"

namespace tavrel {
namespace {

constexpr const char* kCloseQuestion = "登録ソフトが起動中です。\r\n終了してもいいですか？";

// How TrueType and OpenType files begin: a TrueType outline version, the
// older Apple tag, CFF outlines, or a collection.
bool BeginsLikeAFont(const std::vector<std::uint8_t>& head) {
  static constexpr std::array<std::array<std::uint8_t, 4>, 4> kSignatures{{
      {0x00, 0x01, 0x00, 0x00}, {'t', 'r', 'u', 'e'}, {'O', 'T', 'T', 'O'}, {'t', 't', 'c', 'f'}}};
  return head.size() >= 4 && std::any_of(kSignatures.begin(), kSignatures.end(), [&](const auto& s) {
           return std::equal(s.begin(), s.end(), head.begin());
         });
}

// RunOnce runs no command line longer than this.
constexpr std::size_t kLongestLogonCommand = 260;

}  // namespace

Run::Run(const Seams& seams, IRunView& view)
    : seams_(seams),
      view_(view),
      switch_(seams.eudcKey, seams.journalStore),
      restoreCommand_(Utf8ToUtf16("\"" + seams_.desktop.ExecutablePath() + "\" /restore")) {
  switch_.SetRestoreCommand(restoreCommand_);
  switch_.SetWriter(JournalWriter{seams_.launcher.Self(), seams_.desktop.Session()});
}

// --- the launch

void Run::LaunchClicked() {
  if (screen_.closed || !Launchable() || !FontFileIsUsable()) return;
  // Before anything changes: a logon could not put the settings back.
  if (restoreCommand_.size() > kLongestLogonCommand) {
    Tell(messages::LogonCommandTooLong(Utf16ToUtf8(restoreCommand_), kLongestLogonCommand));
    return;
  }
  if (!UserFontActive() && JournalOfAnotherCopy()) return;
  screen_.minimized = true;
  screen_.launchEnabled = false;
  Refresh();
  if (!SwitchToUserFont()) {  // nothing switched, nothing to launch; the user was told
    screen_.launchEnabled = true;
    screen_.minimized = false;
    Refresh();
    return;
  }
  StartProgram();
}

bool Run::FontFileIsUsable() {
  const FileHead head = seams_.files.ReadHead(Utf8ToUtf16(font_), 4);
  if (head.error != kSuccess) {
    const bool missing = head.error == kFileNotFound || head.error == kPathNotFound;
    Tell(missing ? messages::FontMissing(font_, ErrorText(head.error))
                 : messages::FontUnreadable(font_, ErrorText(head.error)));
    return false;
  }
  if (!BeginsLikeAFont(head.bytes)) {
    Tell(messages::NotAFont(font_));
    return false;
  }
  return true;
}

bool Run::SwitchToUserFont() {
  const SwitchResult result = switch_.SwitchTo(Utf8ToUtf16(font_));
  screen_.userFontActive = switch_.UserFontActive();
  Refresh();
  if (result.status.ok()) {
    TellReloadFailure();
    return true;
  }
  const std::string restoreProblem = result.undone ? RestoreProblem(*result.undone) : "";
  std::string problem = messages::SwitchFailed(result.status, ErrorText(result.status.error),
                                               result.undone && restoreProblem.empty());
  if (!restoreProblem.empty()) problem += "\r\n\r\n" + restoreProblem;
  Tell(problem);
  return false;
}

void Run::StartProgram() {
  // In its own folder, as Explorer and a new shortcut start it: an older
  // program opens its data and saves by relative paths.
  StartOutcome outcome = seams_.launcher.Start(StartRequest{
      Utf8ToUtf16(program_), Utf8ToUtf16(arguments_), Utf8ToUtf16(FolderOf(program_)), show_, view_.Owner()});
  switch (outcome.result) {
    case StartOutcome::Result::Started:
      JournalProgram(*outcome.program);
      launches_.push_back(Launch{{}, program_});
      launches_.back().programs.push_back(std::move(outcome.program));
      RememberPair();
      return;  // the message loop waits for its end
    case StartOutcome::Result::HandedOver:
      // Served without a new process (a document handed to a running
      // program): there is nothing to wait for.
      RememberPair();
      EndLaunch(true);
      return;
    case StartOutcome::Result::Cancelled:
    case StartOutcome::Result::Failed:
      break;
  }
  // Nothing started: the settings go back at once, unless an earlier
  // launch's program still runs with the font.
  const bool outerRuns = !launches_.empty();
  const bool settingsBack = !outerRuns && SwitchBack();
  screen_.launchEnabled = true;
  screen_.minimized = false;
  Refresh();
  // A start the user refused at the shell's prompt needs no word: they chose.
  if (outcome.result == StartOutcome::Result::Failed) {
    Tell(messages::NotStarted(program_, ErrorText(outcome.error), outerRuns, settingsBack));
  }
  if (screen_.exitWhenDone) CloseRequested(CloseReason::User);
}

// Where the settings file cannot be written, nothing is remembered: the next
// start finds its files beside the executable as before.
void Run::RememberPair() {
  if (seams_.settings.Write("Program", program_)) (void)seams_.settings.Write("Font", font_);
}

void Run::JournalProgram(const IRunningProgram& program) {
  // Should this fail, the launch goes on all the same: only a recovery after
  // Tavrel itself was killed would then put the settings back without
  // waiting for this program.
  if (const std::optional<ProcessIdentity> identity = program.Identity()) {
    (void)switch_.AddProgram(*identity);
  }
}

std::vector<WaitHandle> Run::WaitHandles() const {
  std::vector<WaitHandle> handles;
  for (const Launch& launch : launches_) {
    for (const RunningProgram& program : launch.programs) handles.push_back(program->EndSignal());
  }
  return handles;
}

void Run::ProgramEnded(WaitHandle signal) {
  for (auto launch = launches_.begin(); launch != launches_.end(); ++launch) {
    auto& programs = launch->programs;
    const auto ended = std::find_if(programs.begin(), programs.end(), [&](const RunningProgram& p) {
      return p->EndSignal() == signal;
    });
    if (ended == programs.end()) continue;
    if (!(*ended)->Ended()) return;  // processes it started run on: waited for next
    programs.erase(ended);
    if (programs.empty()) {
      launches_.erase(launch);
      EndLaunch(true);
    }
    return;
  }
}

void Run::WaitFailed() {
  launches_.clear();
  EndLaunch(false);
}

void Run::EndLaunch(bool programsEnded) {
  // The user font stays while another launch's program still runs, and
  // when the end of the programs is not known.
  if (programsEnded && launches_.empty() && UserFontActive()) SwitchBack();
  if (!programsEnded) Tell(messages::WaitFailed(atLogon_));
  if (atLogon_) {
    if (launches_.empty()) Finish();
    return;
  }
  screen_.launchEnabled = Launchable();
  Refresh();
  if (launches_.empty() && queued_) {
    // The start the user queued behind these programs: as a launch of its own.
    TakeHandOver(*std::exchange(queued_, std::nullopt));
    LaunchClicked();
    return;
  }
  if (screen_.exitWhenDone) {
    CloseRequested(CloseReason::User);
    if (screen_.closed) return;
  }
  screen_.minimized = false;
  Refresh();
}

bool Run::SwitchBack(bool recovering) {
  const RestoreStatus status = switch_.SwitchBack();
  screen_.userFontActive = switch_.UserFontActive();
  Refresh();
  const std::string kept = status.kept.empty() ? "" : messages::KeptChanged(status.kept);
  if (const std::string problem = RestoreProblem(status); !problem.empty()) {
    Tell(kept.empty() ? problem : problem + "\r\n\r\n" + kept);
    return false;
  }
  TellReloadFailure();
  const std::string back =
      recovering && !status.putBack.empty() ? messages::Recovered(status.putBack) : "";
  if (!back.empty() || !kept.empty()) {
    Inform(back.empty() ? kept : kept.empty() ? back : back + "\r\n\r\n" + kept);
  }
  return true;
}

bool Run::WriterRuns(const JournalWriter& writer) {
  return writer.process.processId != 0 && seams_.launcher.FindRunning(writer.process) != nullptr;
}

bool Run::JournalOfAnotherCopy() {
  const JournalReading reading = switch_.ReadJournal();
  if (reading.state != JournalState::Read || !WriterRuns(reading.record.writer)) return false;
  Tell(messages::JournalOfAnotherCopy(reading.record.writer.session));
  return true;
}

// --- the way out

void Run::CloseRequested(CloseReason reason) {
  if (screen_.closed) return;
  if (reason == CloseReason::SessionEnds) {
    // Nothing is asked: a box shown now can be cut short, and Tavrel killed
    // with the user font still in place.
    sessionEnding_ = true;
  } else if (!launches_.empty() &&
             !seams_.desktop.Show(view_.Owner(),
                                  Box{kCloseQuestion, BoxIcon::Information, BoxButtons::YesNo})) {
    return;
  }
  // The session may have ended while the question was shown.
  if (!screen_.closed) Close();
}

void Run::Close() {
  if (UserFontActive()) SwitchBack();
  Finish();
}

void Run::Finish() {
  launches_.clear();
  screen_.closed = true;
  Refresh();
  if (!atLogon_) return;
  // A start waiting for the logon's restore goes on now, not after its report.
  seams_.desktop.ReleaseInstanceLock();
  for (const Box& box : std::exchange(logonBoxes_, {})) (void)seams_.desktop.Show(nullptr, box);
}

// --- telling the user

std::string Run::ErrorText(ErrorCode error) {
  return messages::ErrorText(seams_.desktop.ErrorText(error), error);
}

std::string Run::RestoreProblem(const RestoreStatus& status) {
  if (!status.complete()) {
    std::vector<std::pair<std::u16string, std::string>> failed;
    for (const WriteFailure& f : status.failed) failed.emplace_back(f.name, ErrorText(f.error));
    std::string text = messages::RestoreFailed(failed);
    if (!status.journal.ok()) {
      text += "\r\n\r\n" + messages::LogonRestoreNotSet(Utf16ToUtf8(status.journal.where),
                                                       ErrorText(status.journal.error));
    }
    return text;
  }
  if (!status.journal.ok()) {
    return messages::JournalNotRemoved(Utf16ToUtf8(status.journal.where),
                                       ErrorText(status.journal.error));
  }
  return {};
}

bool Run::Ask(const Box& box) {
  // At logon a report waits for the end; nothing is asked there.
  if (atLogon_ && !screen_.closed && box.buttons == BoxButtons::Ok) {
    logonBoxes_.push_back(box);
    return true;
  }
  if (!screen_.visible || screen_.closed) return seams_.desktop.Show(nullptr, box);
  // A box owned by a minimised window would stay out of sight.
  screen_.minimized = false;
  Refresh();
  return seams_.desktop.Show(view_.Owner(), box);
}

void Run::Tell(std::string_view text) {
  // While Windows ends the session a box could be cut short; what could not
  // be put back stays in the journal for the next logon.
  if (sessionEnding_) return;
  Ask(Box{std::string(text), BoxIcon::Warning, BoxButtons::Ok});
}

void Run::Inform(std::string_view text) {
  if (sessionEnding_) return;
  (void)Ask(Box{std::string(text), BoxIcon::Information, BoxButtons::Ok});
}

void Run::TellReloadFailure() {
  if (const ErrorCode error = switch_.ReloadError(); error != kSuccess) {
    Tell(messages::ReloadFailed(ErrorText(error)));
  }
}

}  // namespace tavrel
