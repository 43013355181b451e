// The run's input besides the launch: the check box, the drops on the file
// boxes, the link, and the files a second start of Tavrel hands over.
#include "app/file_kind.h"
#include "app/maker.h"
#include "app/messages.h"
#include "app/run.h"
#include "base/text.h"

namespace tavrel {
namespace {

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

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
}

// The path exactly as given: no look-up.
void Run::RegisterFont(const std::string& path) {
  font_ = path;
  screen_.fontCaption = font_;
  if (!program_.empty()) screen_.launchEnabled = true;
}

void Run::LinkClicked() {
  if (const ErrorCode error = seams_.launcher.Open(Utf8ToUtf16(kHomePageUrl), view_.Owner());
      error != kSuccess) {
    Tell(messages::LinkNotOpened(kHomePageUrl, ErrorText(error)));
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
  if (Ask(Box{messages::QueueQuestion(program, Utf16ToUtf8(running),
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

}  // namespace tavrel
