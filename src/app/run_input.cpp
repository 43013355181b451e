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

}  // namespace

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
  arguments_.clear();
  show_ = ShowState::Normal;
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
    Tell(texts_.LinkNotOpened(kHomePageUrl, ErrorText(error)));
  }
}

// --- a second start's files

void Run::HandOverReceived(const HandOver& handOver) {
  if (screen_.closed || atLogon_) return;
  if (launches_.empty()) {
    TakeHandOver(handOver);
    screen_.minimized = false;
    Refresh();
    view_.BringToFront();
    if (handOver.run && Launchable()) LaunchClicked();
    return;
  }
  const std::u16string running = switch_.Record().writtenPath;
  const std::string font = handOver.font.empty() ? font_ : handOver.font;
  if (EqualIgnoringCase(Utf8ToUtf16(font), running)) {
    TakeHandOver(handOver);
    LaunchClicked();
    return;
  }
  const std::string& program = launches_.back().program;
  if (Ask(Box{texts_.QueueQuestion(program, Utf16ToUtf8(running),
                                    handOver.program.empty() ? program_ : handOver.program, font),
              BoxIcon::Question, BoxButtons::YesNo})) {
    queued_ = handOver;
    if (queued_->font.empty()) queued_->font = font;
  }
}

void Run::TakeHandOver(const HandOver& handOver) {
  if (!handOver.program.empty()) {
    RegisterProgram(handOver.program);
    arguments_ = handOver.arguments;
    show_ = handOver.run ? handOver.show : ShowState::Normal;
  }
  if (!handOver.font.empty()) RegisterFont(handOver.font);
  if (handOver.exit) screen_.exitWhenDone = true;
  Refresh();
}

// --- the desktop shortcut

void Run::ShortcutRequested() {
  if (screen_.closed || !Launchable()) return;
  const std::string name = texts_.ShortcutName(program_);
  const FolderPath desktop = seams_.shortcuts.DesktopFolder();
  if (desktop.error != kSuccess) {
    Tell(texts_.ShortcutNotCreated(name, ErrorText(desktop.error)));
    return;
  }
  const std::u16string file = desktop.path + u"\\" + Utf8ToUtf16(name);
  // Whatever stands there is the user's: it goes only when the user says so.
  if (seams_.files.IsFile(file) &&
      !Ask(Box{texts_.ShortcutExists(Utf16ToUtf8(file)), BoxIcon::Question, BoxButtons::YesNo})) {
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
