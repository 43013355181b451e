#include "app/run.h"

#include <algorithm>
#include <array>
#include <iterator>

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

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// A file's folder as a working folder is written: without its closing
// backslash, but for a drive's root ("C:\\").
std::string WorkingFolderOf(std::string_view path) {
  std::string folder = DirectoryOf(path);
  if (folder.size() > 1 && !folder.ends_with(":\\")) folder.pop_back();
  return folder;
}

// "<program's name without .exe> (外字).lnk".
std::string ShortcutName(std::string_view program) {
  std::string_view name = program.substr(program.rfind('\\') + 1);
  if (LastFourLowered(name) == kProgramExtension) name.remove_suffix(kProgramExtension.size());
  return std::string(name) + " (外字).lnk";
}

std::string Quoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

}  // namespace

// RunOnce runs no command line longer than this.
constexpr std::size_t kLongestLogonCommand = 260;

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
  StartOutcome outcome = seams_.launcher.Start(Utf8ToUtf16(program_), view_.Owner());
  switch (outcome.result) {
    case StartOutcome::Result::Started:
      JournalProgram(*outcome.program);
      launches_.push_back(Launch{});
      launches_.back().programs.push_back(std::move(outcome.program));
      return;  // the message loop waits for its end
    case StartOutcome::Result::HandedOver:
      // Served without a new process (a document handed to a running
      // program): there is nothing to wait for.
      EndLaunch(true);
      return;
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
  Tell(messages::NotStarted(program_, ErrorText(outcome.error), outerRuns, settingsBack));
  if (screen_.exitWhenDone) CloseRequested(CloseReason::User);
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
}

// --- the boxes, the check box and the link

void Run::ExitWhenDoneToggled() {
  screen_.exitWhenDone = !screen_.exitWhenDone;
  Refresh();
}

bool Run::Accepts(DropBox box, const DropData& data) const {
  if (data.count != 1) return false;
  return LastFourLowered(data.first) == (box == DropBox::Program ? kProgramExtension : kFontExtension);
}

void Run::Dropped(DropBox box, const std::string& path) {
  if (screen_.closed) return;
  if (box == DropBox::Program) {
    RegisterProgram(path);
  } else {
    RegisterFont(path);
  }
  Refresh();
}

void Run::RegisterProgram(const std::string& path) {
  // The folder is the path up to its last backslash: a short (8.3) path has a
  // longer long name, so its length says nothing of the folder.
  const std::string name = StoredName(path);
  program_ = name.empty() ? path : DirectoryOf(path) + name;
  screen_.program = program_;
  screen_.programCaption = program_;
  if (!font_.empty()) screen_.launchEnabled = true;
  screen_.shortcutOffered = Launchable();
}

// The path exactly as given: no look-up.
void Run::RegisterFont(const std::string& path) {
  font_ = path;
  screen_.fontCaption = font_;
  if (!program_.empty()) screen_.launchEnabled = true;
  screen_.shortcutOffered = Launchable();
}

void Run::LinkClicked() {
  if (const ErrorCode error = seams_.launcher.Open(Utf8ToUtf16(kHomePageUrl), view_.Owner());
      error != kSuccess) {
    Tell(messages::LinkNotOpened(kHomePageUrl, ErrorText(error)));
  }
}

// --- the desktop shortcut

void Run::ShortcutRequested() {
  if (screen_.closed || !Launchable()) return;
  const std::string name = ShortcutName(program_);
  const FolderPath desktop = seams_.shortcuts.DesktopFolder();
  if (desktop.error != kSuccess) {
    Tell(messages::ShortcutNotCreated(name, ErrorText(desktop.error)));
    return;
  }
  const std::u16string file = desktop.path + u"\\" + Utf8ToUtf16(name);
  // Whatever stands there is the user's: it goes only when the user says so.
  if (seams_.files.IsFile(file) &&
      !Ask(Box{messages::ShortcutExists(Utf16ToUtf8(file)), BoxIcon::Question, BoxButtons::YesNo})) {
    return;
  }
  WriteShortcut(file, name);
}

// Tavrel starts the program with the font and ends with it; the shortcut
// looks like the program and starts in its folder, as one of its own would.
Shortcut Run::ShortcutToRun() const {
  return Shortcut{Utf8ToUtf16(seams_.desktop.ExecutablePath()),
                  Utf8ToUtf16("/run /exit " + Quoted(program_) + " " + Quoted(font_)),
                  Utf8ToUtf16(WorkingFolderOf(program_)), Utf8ToUtf16(program_), 0};
}

void Run::WriteShortcut(const std::u16string& file, const std::string& name) {
  if (const ErrorCode error = seams_.shortcuts.Write(file, ShortcutToRun()); error != kSuccess) {
    Tell(messages::ShortcutNotCreated(Utf16ToUtf8(file), ErrorText(error)));
    return;
  }
  Inform(messages::ShortcutCreated(name));
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
