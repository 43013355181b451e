// The run's input besides the launch: the check box, the drops on the file
// boxes, the link, the files a second start of Tavrel hands over, and the
// desktop shortcut of the system menu.
#include "app/file_kind.h"
#include "app/maker.h"
#include "app/run.h"
#include "base/text.h"

namespace tavrel {
namespace {

std::string Quoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

// Paths and arguments longer than Windows takes in a command line are no
// second start's.
constexpr std::size_t kLongestCommandLine = 32767;

bool FitsACommandLine(std::string_view text) { return Utf8ToUtf16(text).size() <= kLongestCommandLine; }

}  // namespace

// --- the boxes, the check box and the link

void Run::ExitWhenDoneToggled() {
  Deliver(Input{Input::Kind::ToggleExit});
}

bool Run::Accepts(DropBox box, const DropData& data) const {
  if (data.count != 1) return false;
  if (box == DropBox::Program && IsLinkPath(data.first)) return true;  // checked once dropped
  return LastFourLowered(data.first) == (box == DropBox::Program ? kProgramExtension : kFontExtension);
}

// During a run too: the files are for the next launch, whose button comes
// back with the window.
void Run::Dropped(DropBox box, const std::string& path) {
  Deliver(Input{Input::Kind::Drop, box, path});
}

void Run::OnDropped(DropBox box, const std::string& path) {
  if (box == DropBox::Program) {
    RegisterProgram(path);
  } else {
    RegisterFont(path);
  }
}

std::optional<ProgramToStart> Run::ProgramOf(const std::string& path) {
  ProgramToStart start = ResolveProgram(path, seams_.shortcuts, seams_.files);
  if (start.refusal == ProgramRefusal::None) return start;
  Tell(texts_.ProgramRefused(path, start, ErrorText(start.error)));
  return std::nullopt;
}

bool Run::RegisterProgram(const std::string& path) {
  const std::optional<ProgramToStart> start = ProgramOf(path);
  if (!start) return false;
  // The folder is the path up to its last backslash: a short (8.3) path has a
  // longer long name, so its length says nothing of the folder.
  const std::string name = StoredName(start->program);
  program_ = name.empty() ? start->program : DirectoryOf(start->program) + name;
  arguments_ = start->arguments;
  folder_ = start->folder;
  show_ = ShowState::Normal;
  return true;
}

// The path exactly as given: no look-up.
void Run::RegisterFont(const std::string& path) { font_ = path; }

void Run::LinkClicked() { Deliver(Input{Input::Kind::Link}); }

void Run::OpenHomePage() {
  if (const ErrorCode error = seams_.launcher.Open(Utf8ToUtf16(kHomePageUrl), view_.Owner());
      error != kSuccess) {
    Tell(texts_.LinkNotOpened(kHomePageUrl, ErrorText(error)));
  }
}

// --- a second start's files

void Run::HandOverReceived(const HandOver& handOver) {
  Deliver(Input{Input::Kind::HandOver, DropBox::Program, {}, handOver});
}

void Run::OnHandOver(const HandOver& handOver) {
  // A start of Tavrel checks its files before it sends them: anything
  // else is no start of Tavrel's.
  if (!IsSound(handOver)) return;
  const bool launches = handOver.run && !handOver.program.empty();
  if (state_ == RunState::Idle || !launches) {
    const bool taken = TakeHandOver(handOver);
    if (state_ != RunState::Idle) return;  // the window stays as the run has it
    minimized_ = false;
    Refresh();
    view_.BringToFront();
    // A refused shortcut leaves the program registered before: not that one.
    if (launches && taken) LaunchOrder(Registered());
    return;
  }
  const std::optional<ProgramToStart> start = ProgramOf(handOver.program);
  if (!start) return;
  const StartOrder order{start->program, handOver.font.empty() ? font_ : handOver.font,
                         JoinArguments(start->arguments, handOver.arguments), handOver.show, handOver.exit,
                         start->folder};
  // Started beside the running programs, it is the registered one now.
  if (EqualIgnoringCase(Utf8ToUtf16(order.font), switch_.Record().writtenPath)) {
    TakeHandOver(handOver);
  }
  LaunchWhileWaiting(order);
}

bool Run::TakesHandOvers() const {
  return state_ != RunState::Closed && !atLogon_ && !sessionEnding_;
}

bool Run::IsSound(const HandOver& handOver) {
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

bool Run::TakeHandOver(const HandOver& handOver) {
  const bool programTaken = handOver.program.empty() || RegisterProgram(handOver.program);
  if (!handOver.program.empty() && programTaken) {
    arguments_ = JoinArguments(arguments_, handOver.arguments);
    show_ = handOver.run ? handOver.show : ShowState::Normal;
  }
  if (!handOver.font.empty()) RegisterFont(handOver.font);
  if (handOver.exit) exitWhenDone_ = true;
  return programTaken;
}

// --- the desktop shortcut

void Run::ShortcutRequested() {
  Deliver(Input{Input::Kind::Shortcut});
}

void Run::OfferShortcut() {
  if (!Launchable()) return;
  const std::string name = texts_.ShortcutName(program_);
  const FolderPath desktop = seams_.shortcuts.DesktopFolder();
  if (desktop.error != kSuccess) {
    Tell(texts_.ShortcutNotCreated(name, ErrorText(desktop.error)));
    return;
  }
  const std::u16string file = desktop.path + u"\\" + Utf8ToUtf16(name);
  // Whatever stands there is the user's: it goes only when the user says so.
  if (seams_.files.IsFile(file)) {
    // A Yes comes before any other input: the files are still these.
    Ask(PendingBox{Box{texts_.ShortcutExists(Utf16ToUtf8(file)), BoxIcon::Question, BoxButtons::YesNo},
                   PendingBox::OnYes::WriteShortcut, {}, file, name});
    return;
  }
  WriteShortcut(file, name);
}

// Tavrel starts the program with the font and ends with it; the shortcut
// looks like the program and starts in its folder, as one of its own would.
Shortcut Run::ShortcutToRun() const {
  return Shortcut{Utf8ToUtf16(seams_.desktop.ExecutablePath()),
                  Utf8ToUtf16("/run /exit " + Quoted(program_) + " " + Quoted(font_)),
                  Utf8ToUtf16(FolderOf(program_)), Utf8ToUtf16(program_), 0};
}

void Run::WriteShortcut(const std::u16string& file, const std::string& name) {
  if (const ErrorCode error = seams_.shortcuts.Write(file, ShortcutToRun()); error != kSuccess) {
    Tell(texts_.ShortcutNotCreated(Utf16ToUtf8(file), ErrorText(error)));
    return;
  }
  Inform(texts_.ShortcutCreated(name));
}

}  // namespace tavrel
