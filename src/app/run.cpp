#include "app/run.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/file_kind.h"
#include "app/maker.h"
#include "base/text.h"

namespace tavrel {
namespace {

// RunOnce runs no command line longer than this.
constexpr std::size_t kLongestLogonCommand = 260;

// The queues hold a few items at most: vectors, smaller in the executable
// than deques.
template <typename T>
T TakeFirst(std::vector<T>& queue) {
  T first = std::move(queue.front());
  queue.erase(queue.begin());
  return first;
}

}  // namespace

Run::Run(const Seams& seams, IRunView& view)
    : seams_(seams),
      view_(view),
      texts_(LanguageOf(seams.desktop.DisplayLanguage())),
      switch_(seams.eudcKey, seams.journalStore),
      restoreCommand_(Utf8ToUtf16("\"" + seams_.desktop.ExecutablePath() + "\" /restore")) {
  switch_.SetRestoreCommand(restoreCommand_);
  switch_.SetWriter(JournalWriter{seams_.launcher.Self(), seams_.desktop.Session()});
}

// --- input, one transition at a time

void Run::Deliver(Input input) {
  if (state_ == RunState::Closed) return;
  kept_.push_back(std::move(input));
  if (!busy_) HandleKept();
}

void Run::HandleKept() {
  busy_ = true;
  for (;;) {
    // At logon the reports wait until the lock is given back: a start
    // waiting for it goes on first.
    const bool boxesWait = atLogon_ && state_ != RunState::Closed;
    if (!boxes_.empty() && !boxesWait) {
      ShowNextBox();
      continue;
    }
    if (state_ == RunState::Opening) break;
    // Before any input that came after it: the launch of /run, and a
    // queued start once all before it have ended.
    if (const std::optional<Input::Kind> first = std::exchange(first_, std::nullopt)) {
      Handle(Input{*first});
      Refresh();
      continue;
    }
    if (kept_.empty()) {
      // /exit's close, once every box is closed and what came meanwhile is handled.
      if (!std::exchange(closeWhenQuiet_, false)) break;
      CloseIfDone();
      Refresh();
      continue;
    }
    const Input input = TakeFirst(kept_);
    if (state_ == RunState::Closed) continue;  // nothing is handled once the run has closed
    Handle(input);
    Refresh();
  }
  busy_ = false;
}

void Run::ShowNextBox() {
  PendingBox pending = TakeFirst(boxes_);
  WindowHandle owner = nullptr;
  if (visible_ && state_ != RunState::Closed) {
    // A box owned by a minimised window would stay out of sight.
    minimized_ = false;
    Refresh();
    owner = view_.Owner();
  }
  // The box runs a message loop of its own: what it delivers is kept.
  const bool yes = seams_.desktop.Show(owner, pending.box);
  // Windows may have ended the session while the box was up.
  if (!yes || state_ == RunState::Closed) return;
  Answered(pending);
  Refresh();
}

void Run::Handle(const Input& input) {
  switch (input.kind) {
    case Input::Kind::Launch: LaunchOrder(Registered()); break;
    case Input::Kind::Drop: OnDropped(input.box, input.path); break;
    case Input::Kind::HandOver: OnHandOver(input.handOver); break;
    case Input::Kind::ProgramEnded: OnProgramEnded(input.signal); break;
    case Input::Kind::WaitFailed: OnWaitFailed(); break;
    case Input::Kind::Close: OnCloseRequested(); break;
    case Input::Kind::ToggleExit: exitWhenDone_ = !exitWhenDone_; break;
    case Input::Kind::Link: OpenHomePage(); break;
    case Input::Kind::Shortcut: OfferShortcut(); break;
    case Input::Kind::StartQueued: StartQueued(); break;
  }
}

void Run::Answered(const PendingBox& box) {
  switch (box.onYes) {
    case PendingBox::OnYes::Nothing: break;
    case PendingBox::OnYes::Close: Close(); break;
    case PendingBox::OnYes::Queue:
      queued_.push_back(box.order);
      if (box.order.exit) exitWhenDone_ = true;
      break;
    case PendingBox::OnYes::WriteShortcut: WriteShortcut(box.file, box.name); break;
  }
}

void Run::EndSession() {
  if (state_ == RunState::Closed) return;
  // Nothing is asked or told: a box shown now can be cut short, and Tavrel
  // killed with the user font still in place. What could not be put back
  // stays in the journal for the next logon.
  sessionEnding_ = true;
  boxes_.clear();
  kept_.clear();
  Close();
}

Screen Run::ScreenOfState() const {
  Screen screen;
  screen.title = title_;
  screen.program = program_;
  screen.programCaption = program_.empty() ? std::string(texts_.Get(Text::ProgramPrompt)) : program_;
  screen.fontCaption = font_.empty() ? std::string(texts_.Get(Text::FontPrompt)) : font_;
  screen.currentFont = currentFont_;
  screen.launchEnabled = state_ == RunState::Idle && Launchable();
  screen.userFontActive = UserFontActive();
  screen.exitWhenDone = exitWhenDone_;
  screen.shortcutOffered = Launchable();
  screen.visible = visible_;
  screen.minimized = minimized_;
  screen.closed = state_ == RunState::Closed;
  return screen;
}

// The window compares what it shows with the screen itself.
void Run::Refresh() {
  screen_ = ScreenOfState();
  view_.Show(screen_);
}

// --- the launch

void Run::LaunchClicked() {
  Deliver(Input{Input::Kind::Launch});
}

void Run::LaunchOrder(const StartOrder& order) {
  if (state_ == RunState::Idle) {
    LaunchWhileIdle(order);
  } else if (state_ == RunState::Waiting) {
    LaunchWhileWaiting(order);
  }
}

void Run::LaunchWhileIdle(const StartOrder& order) {
  if (order.program.empty() || order.font.empty() || !FontFileIsUsable(order.font)) return;
  // Before anything changes: a logon could not put the settings back.
  if (restoreCommand_.size() > kLongestLogonCommand) {
    Tell(texts_.LogonCommandTooLong(Utf16ToUtf8(restoreCommand_), kLongestLogonCommand));
    return;
  }
  if (!UserFontActive() && JournalOfAnotherCopy()) return;
  minimized_ = true;
  Refresh();
  if (!SwitchToUserFont(order.font)) {  // nothing switched, nothing to launch; the user was told
    minimized_ = false;
    return;
  }
  StartProgram(order);
}

// One rule, whoever asks: a program with the font in place starts beside
// those that run; one with another font waits until they have ended, if the
// user wants it to.
void Run::LaunchWhileWaiting(const StartOrder& order) {
  if (order.program.empty() || order.font.empty()) return;
  const std::u16string running = switch_.Record().writtenPath;
  if (EqualIgnoringCase(Utf8ToUtf16(order.font), running)) {
    if (FontFileIsUsable(order.font) && SwitchToUserFont(order.font)) StartProgram(order);
    return;
  }
  Ask(PendingBox{Box{texts_.QueueQuestion(launches_.back().program, Utf16ToUtf8(running),
                                            order.program, order.font),
                     BoxIcon::Question, BoxButtons::YesNo},
                 PendingBox::OnYes::Queue, order});
}

bool Run::FontFileIsUsable(const std::string& font) {
  const FileHead head = seams_.files.ReadHead(Utf8ToUtf16(font), 4);
  if (head.error != kSuccess) {
    const bool missing = head.error == kFileNotFound || head.error == kPathNotFound;
    Tell(missing ? texts_.FontMissing(font, ErrorText(head.error))
                 : texts_.FontUnreadable(font, ErrorText(head.error)));
    return false;
  }
  if (!BeginsLikeAFont(head.bytes)) {
    Tell(texts_.NotAFont(font));
    return false;
  }
  return true;
}

bool Run::SwitchToUserFont(const std::string& font) {
  const SwitchResult result = switch_.SwitchTo(Utf8ToUtf16(font));
  if (result.status.ok()) {
    TellReloadFailure();
    if (!result.kept.empty()) Inform(texts_.KeptChanged(switch_.Record().codePage, result.kept));
    return true;
  }
  const std::string restoreProblem = result.undone ? RestoreProblem(*result.undone) : "";
  std::string problem = texts_.SwitchFailed(result.status, ErrorText(result.status.error),
                                               result.undone && restoreProblem.empty());
  if (!restoreProblem.empty()) problem += "\r\n\r\n" + restoreProblem;
  Tell(problem);
  return false;
}

void Run::StartProgram(const StartOrder& order) {
  // In its own folder, as Explorer and a new shortcut start it: an older
  // program opens its data and saves by relative paths.
  StartOutcome outcome = seams_.launcher.Start(
      StartRequest{Utf8ToUtf16(order.program), Utf8ToUtf16(order.arguments),
                   Utf8ToUtf16(FolderOf(order.program)), order.show, view_.Owner()});
  // The shell's prompt runs a message loop: the session may have ended.
  if (state_ == RunState::Closed) return;
  switch (outcome.result) {
    case StartOutcome::Result::Started:
      JournalProgram(*outcome.program);
      launches_.push_back(Launch{{}, order.program});
      launches_.back().programs.push_back(std::move(outcome.program));
      state_ = RunState::Waiting;
      RememberPair(order);
      return;  // the message loop waits for its end
    case StartOutcome::Result::HandedOver:
      // Served without a new process (a document handed to a running
      // program): there is nothing to wait for.
      RememberPair(order);
      if (launches_.empty()) AllProgramsEnded(true);
      return;
    case StartOutcome::Result::Cancelled:
    case StartOutcome::Result::Failed:
      break;
  }
  // Nothing started: the settings go back at once, unless an earlier
  // launch's program still runs with the font.
  const bool outerRuns = !launches_.empty();
  const bool settingsBack = !outerRuns && SwitchBack();
  // A start the user refused at the shell's prompt needs no word: they chose.
  if (outcome.result == StartOutcome::Result::Failed) {
    Tell(texts_.NotStarted(order.program, ErrorText(outcome.error), outerRuns, settingsBack));
  }
  if (!outerRuns) AfterLastProgram();
}

// Where the settings file cannot be written, nothing is remembered: the next
// start finds its files beside the executable as before.
void Run::RememberPair(const StartOrder& order) {
  if (seams_.settings.Write("Program", order.program)) (void)seams_.settings.Write("Font", order.font);
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
  Deliver(Input{Input::Kind::ProgramEnded, DropBox::Program, {}, {}, signal});
}

void Run::OnProgramEnded(WaitHandle signal) {
  for (auto launch = launches_.begin(); launch != launches_.end(); ++launch) {
    auto& programs = launch->programs;
    const auto ended = std::find_if(programs.begin(), programs.end(), [&](const RunningProgram& p) {
      return p->EndSignal() == signal;
    });
    if (ended == programs.end()) continue;
    switch ((*ended)->Status()) {
      case ProgramStatus::Runs: return;  // processes it started run on: waited for next
      case ProgramStatus::Unknown: OnWaitFailed(); return;  // as good as a failed wait: never an end
      case ProgramStatus::Ended: break;
    }
    programs.erase(ended);
    if (programs.empty()) launches_.erase(launch);
    if (launches_.empty()) AllProgramsEnded(true);
    return;
  }
}

void Run::WaitFailed() {
  Deliver(Input{Input::Kind::WaitFailed});
}

void Run::OnWaitFailed() {
  if (state_ != RunState::Waiting) return;
  launches_.clear();
  AllProgramsEnded(false);
}

void Run::AllProgramsEnded(bool programsEnded) {
  state_ = RunState::Idle;
  if (programsEnded) {
    if (UserFontActive()) SwitchBack();
  } else {
    // The user font stays: the end of the programs is not known. So is the
    // end of those before a queued start.
    queued_.clear();
    Tell(texts_.WaitFailed(atLogon_));
  }
  if (atLogon_) {
    Finish();
    return;
  }
  AfterLastProgram();
}

void Run::AfterLastProgram() {
  if (!queued_.empty()) {
    // The start the user queued behind these programs, before any input
    // that came after it: a launch of its own.
    first_ = Input::Kind::StartQueued;
    return;
  }
  if (exitWhenDone_) {
    // After the boxes and the input kept meanwhile: a second start's program
    // may still come.
    closeWhenQuiet_ = true;
    return;
  }
  minimized_ = false;
}

void Run::StartQueued() {
  if (queued_.empty() || state_ != RunState::Idle) return;
  const StartOrder order = TakeFirst(queued_);
  RegisterProgram(order.program);
  RegisterFont(order.font);
  arguments_ = order.arguments;
  show_ = order.show;
  LaunchWhileIdle(order);
  if (state_ == RunState::Idle && queued_.empty()) minimized_ = false;
}

void Run::CloseIfDone() {
  if (state_ == RunState::Idle && queued_.empty() && exitWhenDone_) Close();
  if (state_ == RunState::Idle) minimized_ = false;
}

bool Run::SwitchBack(bool recovering) {
  const RestoreStatus status = switch_.SwitchBack();
  const std::string kept = status.kept.empty() ? "" : texts_.KeptChanged(status.codePage, status.kept);
  if (const std::string problem = RestoreProblem(status); !problem.empty()) {
    Tell(kept.empty() ? problem : problem + "\r\n\r\n" + kept);
    return false;
  }
  TellReloadFailure();
  const std::string back =
      recovering && !status.putBack.empty() ? texts_.Recovered(status.putBack) : "";
  if (!back.empty() || !kept.empty()) {
    Inform(back.empty() ? kept : kept.empty() ? back : back + "\r\n\r\n" + kept);
  }
  return true;
}

// A record this very process wrote (and could not remove) is its own.
bool Run::WriterRuns(const JournalWriter& writer) {
  return writer.process.processId != 0 && writer.process != seams_.launcher.Self() &&
         seams_.launcher.FindRunning(writer.process) != nullptr;
}

bool Run::JournalOfAnotherCopy() {
  const JournalReading reading = switch_.ReadJournal();
  if (reading.state != JournalState::Read || !WriterRuns(reading.record.writer)) return false;
  Tell(texts_.JournalOfAnotherCopy(reading.record.writer.session));
  return true;
}

// --- the way out

void Run::CloseRequested(CloseReason reason) {
  if (reason == CloseReason::SessionEnds) {
    EndSession();
    return;
  }
  Deliver(Input{Input::Kind::Close});
}

void Run::OnCloseRequested() {
  if (state_ != RunState::Waiting) {
    Close();
    return;
  }
  Ask(PendingBox{Box{std::string(texts_.Get(Text::CloseQuestion)), BoxIcon::Information, BoxButtons::YesNo},
                 PendingBox::OnYes::Close});
}

void Run::Close() {
  if (UserFontActive()) SwitchBack();
  Finish();
}

void Run::Finish() {
  launches_.clear();
  queued_.clear();
  state_ = RunState::Closed;
  Refresh();
  // A start waiting for the logon's restore goes on now, before its report.
  if (atLogon_) seams_.desktop.ReleaseInstanceLock();
}

// --- telling the user

std::string Run::ErrorText(ErrorCode error) {
  return texts_.ErrorText(seams_.desktop.ErrorText(error), error);
}

std::string Run::RestoreProblem(const RestoreStatus& status) {
  if (!status.complete()) {
    std::vector<std::pair<std::u16string, std::string>> failed;
    for (const WriteFailure& f : status.failed) failed.emplace_back(f.name, ErrorText(f.error));
    std::string text = texts_.RestoreFailed(status.codePage, failed);
    if (!status.journal.ok()) {
      text += "\r\n\r\n" + texts_.LogonRestoreNotSet(Utf16ToUtf8(status.journal.where),
                                                       ErrorText(status.journal.error));
    }
    return text;
  }
  if (!status.journal.ok()) {
    return texts_.JournalNotRemoved(Utf16ToUtf8(status.journal.where),
                                       ErrorText(status.journal.error));
  }
  return {};
}

void Run::Ask(PendingBox question) {
  if (sessionEnding_) return;
  boxes_.push_back(std::move(question));
}

void Run::Tell(std::string_view text) {
  Ask(PendingBox{Box{std::string(text), BoxIcon::Warning, BoxButtons::Ok}});
}

void Run::Inform(std::string_view text) {
  Ask(PendingBox{Box{std::string(text), BoxIcon::Information, BoxButtons::Ok}});
}

void Run::TellReloadFailure() {
  if (const ErrorCode error = switch_.ReloadError(); error != kSuccess) {
    Tell(texts_.ReloadFailed(ErrorText(error)));
  }
}

}  // namespace tavrel
