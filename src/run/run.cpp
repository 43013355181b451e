#include "run/run.h"

#include <algorithm>
#include <utility>

#include "files/file_kind.h"
#include "base/text.h"

namespace tavrel {
namespace {

// RunOnce runs no command line longer than this.
constexpr std::size_t kLongestLogonCommand = 260;

std::string LaunchRefusal(const Texts& texts, const std::u16string& restoreCommand) {
  if (restoreCommand.size() <= kLongestLogonCommand) return {};
  return texts.LogonCommandTooLong(Utf16ToUtf8(restoreCommand), kLongestLogonCommand);
}

}  // namespace

Run::Run(const Seams& seams, IRunView& view)
    : seams_(seams),
      view_(view),
      texts_(LanguageOf(seams.desktop.DisplayLanguage())),
      switch_(seams.eudcKey, seams.journalStore, seams.files),
      restoreCommand_(Utf8ToUtf16("\"" + seams_.desktop.ExecutablePath() + "\" /restore")),
      context_{texts_, LaunchRefusal(texts_, restoreCommand_)} {
  switch_.SetRestoreCommand(restoreCommand_);
  switch_.SetWriter(JournalWriter{seams_.launcher.Self(), seams_.desktop.Session()});
}

// --- feeding the machine

void Run::Feed(const Input& input) {
  // Nothing is handled once the run has closed.
  if (data_.state == RunState::Closed) return;
  Apply(input);
  if (!busy_) ShowBoxes();
}

// Input that comes while an effect runs a message loop of its own (a box, the
// shell's prompt) joins the state at once; the machine keeps it or, for the
// session's end, acts on it.
void Run::Apply(const Input& input) {
  Step step = Next(context_, std::move(data_), input);
  data_ = std::move(step.state);
  // The window is told of a change once the run has begun: a start turned
  // away never had one.
  if (Screen screen = ScreenOf(data_, texts_); data_.begun && screen != screen_) {
    screen_ = std::move(screen);
    view_.Show(screen_);
  }
  const bool wasBusy = std::exchange(busy_, true);
  for (const Effect& effect : step.effects) {
    if (std::optional<Input> result = Execute(effect)) Apply(*result);
  }
  busy_ = wasBusy;
}

// Each box once the transition that asked for it has returned; its answer is
// one more input.
void Run::ShowBoxes() {
  while (const PendingBox* pending = BoxToShow(data_)) {
    const Box box = pending->box;
    busy_ = true;
    const bool yes = view_.ShowBox(box);
    busy_ = false;
    Apply(Answered{yes});
  }
}

// --- the user's input

void Run::CloseRequested(CloseReason reason) {
  if (reason == CloseReason::SessionEnds) {
    Feed(SessionEnds{});
  } else {
    Feed(CloseAsked{});
  }
}

bool Run::Accepts(DropBox box, const DropData& data) const {
  if (data.count != 1) return false;
  // A shortcut as the program is looked into once dropped.
  if (box == DropBox::Program && IsLinkPath(data.first)) return true;
  return HasExtension(data.first, box == DropBox::Program ? kProgramExtension : kFontExtension);
}

// During a run too: the files are for the next launch, whose button comes
// back with the window.
void Run::Dropped(DropBox box, const std::string& path) {
  if (box == DropBox::Font) {
    Feed(Drop{box, path, {}, {}, {}});
    return;
  }
  std::string refusal;
  const std::optional<ProgramToStart> start = ProgramOf(path, refusal);
  Feed(start ? Drop{box, start->program, start->arguments, start->folder, {}} : Drop{box, path, {}, {}, refusal});
}

void Run::HandOverReceived(const HandOver& handOver) {
  const bool sound = FollowsTheRules(handOver);
  HandOver taken = handOver;
  std::string folder, refusal;
  if (sound && !taken.program.empty()) {
    if (const std::optional<ProgramToStart> start = ProgramOf(taken.program, refusal)) {
      taken.program = start->program;
      taken.arguments = JoinArguments(start->arguments, taken.arguments);
      folder = start->folder;
    }
  }
  Feed(HandedOver{taken, sound, folder, refusal});
}

// --- the message loop

std::vector<WaitHandle> Run::WaitHandles() const {
  std::vector<WaitHandle> handles;
  for (const LaunchRecord& launch : data_.launches) {
    const auto programs = programs_.find(launch.id);
    if (programs == programs_.end()) continue;
    for (const RunningProgram& program : programs->second) handles.push_back(program->EndSignal());
  }
  return handles;
}

void Run::ProgramEnded(WaitHandle signal) {
  for (auto& [id, programs] : programs_) {
    const auto ended = std::find_if(programs.begin(), programs.end(),
                                    [&](const RunningProgram& p) { return p->EndSignal() == signal; });
    if (ended == programs.end()) continue;
    switch ((*ended)->Status()) {
      case ProgramStatus::Runs: return;  // processes it started run on: waited for next
      case ProgramStatus::Unknown:
        Feed(WaitLost{});  // as good as a failed wait: never an end
        return;
      case ProgramStatus::Ended: break;
    }
    programs.erase(ended);
    if (programs.empty()) {
      const int launch = id;
      programs_.erase(launch);
      Feed(LaunchEnded{launch});
    }
    return;
  }
}

}  // namespace tavrel
