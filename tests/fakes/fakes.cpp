#include "fakes/fakes.h"

#include <algorithm>
#include <utility>

#include "base/text.h"

namespace tavrel::fakes {

// --- FakeEudcKey

std::optional<std::vector<RawValue>>& FakeEudcKey::Key(CodePage codePage) {
  return codePage == kJapaneseCodePage ? values : otherKeys[codePage];
}

void FakeEudcKey::SetText(std::u16string_view name, std::u16string_view text, CodePage codePage) {
  const RawValue value = TextValue(std::u16string(name), text);
  (void)Store(codePage, {&value, 1});
}

std::optional<std::u16string> FakeEudcKey::Text(std::u16string_view name, CodePage codePage) const {
  const auto other = otherKeys.find(codePage);
  const std::optional<std::vector<RawValue>>* key =
      codePage == kJapaneseCodePage ? &values : other != otherKeys.end() ? &other->second : nullptr;
  const RawValue* value = key && *key ? FindValue(**key, name) : nullptr;
  return value ? TextOf(*value) : std::nullopt;
}

KeyReading FakeEudcKey::ReadAll(CodePage codePage) {
  if (Fails()) return KeyReading{KeyReading::Outcome::Failed, {}, kInjectedFault};
  if (readError != kSuccess) return KeyReading{KeyReading::Outcome::Failed, {}, readError};
  const std::optional<std::vector<RawValue>>& key = Key(codePage);
  if (!key) return KeyReading{KeyReading::Outcome::Absent, {}, kSuccess};
  return KeyReading{KeyReading::Outcome::Listed, *key, kSuccess};
}

std::vector<WriteFailure> FakeEudcKey::Write(CodePage codePage, std::span<const RawValue> written) {
  if (beforeWrite) beforeWrite();
  if (!Fails()) return Store(codePage, written);
  std::vector<WriteFailure> failed;
  for (const RawValue& value : written) failed.push_back({value.name, kInjectedFault});
  return failed;
}

std::vector<WriteFailure> FakeEudcKey::Store(CodePage codePage, std::span<const RawValue> written) {
  std::vector<WriteFailure> failed;
  std::optional<std::vector<RawValue>>& key = Key(codePage);
  // The key is created before any value is written, as the registry's is.
  if (!key) key.emplace();
  for (const RawValue& value : written) {
    const auto fault = writeErrors.find(value.name);
    if (fault != writeErrors.end()) {
      failed.push_back(WriteFailure{value.name, fault->second});
      continue;
    }
    ++writes;
    // Stored under the name it already has, as the registry keeps a name's case.
    if (RawValue* existing = const_cast<RawValue*>(FindValue(*key, value.name))) {
      existing->type = value.type;
      existing->data = value.data;
    } else {
      key->push_back(value);
    }
  }
  return failed;
}

ErrorCode FakeEudcKey::EnableEudc(bool enable) {
  if (Fails()) return kInjectedFault;
  reloads.push_back(enable);
  return enableError;
}

// --- FakeJournalStore

StoredRecord FakeJournalStore::Read() {
  if (Fails()) return StoredRecord{StoredRecord::Outcome::Unreadable, {}, kInjectedFault};
  if (unreadable) return StoredRecord{StoredRecord::Outcome::Unreadable, {}, readError};
  if (!record) return {};
  return StoredRecord{StoredRecord::Outcome::Present, *record, kSuccess};
}

StoreStatus FakeJournalStore::Write(std::span<const std::uint8_t> bytes) {
  calls.push_back("write");
  if (Fails()) return StoreStatus{kInjectedFault, kJournalKeyShown};
  if (writeError != kSuccess) return StoreStatus{writeError, kJournalKeyShown};
  record.emplace(bytes.begin(), bytes.end());
  return {};
}

StoreStatus FakeJournalStore::SetLogonCommand(std::u16string_view command) {
  calls.push_back("logon");
  if (Fails()) return StoreStatus{kInjectedFault, kJournalKeyShown};
  if (logonError != kSuccess) return StoreStatus{logonError, kRunOnceValueShown};
  logonCommand = std::u16string(command);
  return {};
}

StoreStatus FakeJournalStore::Flush() {
  calls.push_back("flush");
  if (Fails()) return StoreStatus{kInjectedFault, kJournalKeyShown};
  if (flushError != kSuccess) return StoreStatus{flushError, kJournalKeyShown};
  return {};
}

StoreStatus FakeJournalStore::Remove() {
  calls.push_back("remove");
  if (Fails()) return StoreStatus{kInjectedFault, kJournalKeyShown};
  if (removeError != kSuccess) return StoreStatus{removeError, kJournalKeyShown};
  record.reset();
  unreadable = false;
  logonCommand.reset();
  return {};
}

// --- FakeLauncher

namespace {

class FakeRunning final : public IRunningProgram {
 public:
  FakeRunning(const std::deque<FakeLauncher::Process>& processes, const FakeLauncher::Process& first,
              bool identityUnreadable, std::size_t& open)
      : processes_(processes), first_(first), member_(&first), identityUnreadable_(identityUnreadable),
        open_(open) {
    ++open_;
  }
  ~FakeRunning() override { --open_; }
  WaitHandle EndSignal() const override { return member_->signal; }
  // The process waited on has ended, even where the test gave it a real
  // event as its end signal and set that alone.
  ProgramStatus Status() override {
    if (FakeLauncher::EndUnknown(processes_, first_)) return ProgramStatus::Unknown;
    member_ = FakeLauncher::RunningMember(processes_, first_, member_);
    if (member_) return ProgramStatus::Runs;
    member_ = &first_;
    return ProgramStatus::Ended;
  }
  std::optional<ProcessIdentity> Identity() const override {
    if (identityUnreadable_) return std::nullopt;
    return first_.identity;
  }

 private:
  const std::deque<FakeLauncher::Process>& processes_;
  const FakeLauncher::Process& first_;
  const FakeLauncher::Process* member_;  // the process waited on
  bool identityUnreadable_;
  std::size_t& open_;
};

}  // namespace

const FakeLauncher::Process* FakeLauncher::RunningMember(const std::deque<Process>& processes,
                                                         const Process& first, const Process* ended) {
  if (first.launch == 0) return first.running && &first != ended ? &first : nullptr;
  for (const Process& process : processes) {
    if (process.launch == first.launch && process.running && &process != ended) return &process;
  }
  return nullptr;
}

bool FakeLauncher::EndUnknown(const std::deque<Process>& processes, const Process& first) {
  return std::any_of(processes.begin(), processes.end(), [&](const Process& process) {
    return process.endUnknown && (&process == &first || (first.launch != 0 && process.launch == first.launch));
  });
}

RunningProgram FakeLauncher::Hold(Process& process) {
  auto running = std::make_unique<FakeRunning>(processes, process, identityUnreadable, openPrograms);
  // A launch found again waits on a process of it that runs.
  if (!process.running) (void)running->Status();
  return running;
}

ProcessIdentity FakeLauncher::AddRunning(std::u16string program) {
  const std::uint32_t id = nextId_++;
  processes.push_back(Process{{id, 0x01DC000000000000ull + id}, std::move(program), true,
                              reinterpret_cast<WaitHandle>(static_cast<std::uintptr_t>(id))});
  return processes.back().identity;
}

FakeLauncher::Process& FakeLauncher::StartChild(Process& parent) {
  if (parent.launch == 0) parent.launch = parent.identity.processId;
  AddRunning(parent.program);
  processes.back().launch = parent.launch;
  return processes.back();
}

FakeLauncher::Process& FakeLauncher::Started(std::size_t index) {
  return processes[started_.at(index)];
}

StartOutcome FakeLauncher::Start(const StartRequest& request) {
  owners.push_back(request.owner);
  requests.push_back(request);
  if (whileStarting) std::exchange(whileStarting, nullptr)();
  const std::u16string program = request.program;
  if (startError == kCancelled) return StartOutcome{StartOutcome::Result::Cancelled, nullptr, kCancelled};
  if (startError) return StartOutcome{StartOutcome::Result::Failed, nullptr, *startError};
  if (handOver) return StartOutcome{StartOutcome::Result::HandedOver, nullptr, kSuccess};
  AddRunning(std::u16string(program));
  if (nextSignal) processes.back().signal = std::exchange(nextSignal, nullptr);
  started_.push_back(processes.size() - 1);
  return StartOutcome{StartOutcome::Result::Started, Hold(processes.back()), kSuccess};
}

ErrorCode FakeLauncher::Open(std::u16string_view target, WindowHandle owner) {
  owners.push_back(owner);
  opened.emplace_back(target);
  return openError;
}

RunningProgram FakeLauncher::FindRunning(const ProcessIdentity& identity) {
  // Tavrel's own process runs, as long as anything asks.
  if (identity == self && std::none_of(processes.begin(), processes.end(),
                                       [&](const Process& p) { return p.identity == self; })) {
    processes.push_back(Process{self, u"Tavrel.exe"});
  }
  for (Process& process : processes) {
    if (process.identity != identity) continue;
    if (RunningMember(processes, process) || EndUnknown(processes, process)) return Hold(process);
  }
  return nullptr;
}

// --- FakeDesktop

IDesktop::InstanceLock FakeDesktop::TakeInstanceLock() {
  guardSteps.push_back("lock");
  if (!lockFree) return InstanceLock::HeldByAnother;
  return lockAbandoned ? InstanceLock::OwnedAfterAKill : InstanceLock::Owned;
}

bool FakeDesktop::AnotherCopyIsOpen() {
  guardSteps.push_back("search");
  return anotherCopyOpen;
}

bool FakeView::ShowBox(const Box& box) {
  shown.push_back(Shown{screen.visible && !screen.closed ? owner : nullptr, box});
  if (whileShown) whileShown(box);
  if (box.buttons == BoxButtons::Ok || answers.empty()) return true;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakeDesktop::ErrorText(ErrorCode error, std::string_view insert) {
  const auto found = errorTexts.find(error);
  if (found == errorTexts.end()) return {};
  std::string text = found->second;
  if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, insert);
  return text;
}

// --- FakeFiles

void FakeFiles::Add(std::string path, std::vector<std::uint8_t> content, bool normal) {
  files.push_back(File{std::move(path), std::move(content), normal, kSuccess});
}

void FakeFiles::AddFont(std::string path) { Add(std::move(path), {0x00, 0x01, 0x00, 0x00, 0x00}); }

// A folder cannot be opened as a file: Windows denies the access.
void FakeFiles::AddFolder(std::string path) {
  files.push_back(File{std::move(path), {}, false, kAccessDenied, true});
}

FakeFiles::File* FakeFiles::Find(std::string_view path) {
  const auto found = std::find_if(files.begin(), files.end(),
                                  [&](const File& f) { return EqualIgnoringCase(f.path, path); });
  return found == files.end() ? nullptr : &*found;
}

std::vector<FolderEntry> FakeFiles::List(std::u16string_view pattern) {
  const std::string wanted = Utf16ToUtf8(pattern);
  const size_t star = wanted.rfind("\\*");
  std::vector<FolderEntry> found;
  for (const File& file : files) {
    const size_t slash = file.path.rfind('\\');
    const std::string name = file.path.substr(slash + 1);
    const bool matches =
        star == std::string::npos
            ? EqualIgnoringCase(file.path, wanted)
            : EqualIgnoringCase(file.path.substr(0, slash), wanted.substr(0, star)) &&
                  name.size() >= wanted.size() - star - 2 &&
                  EqualIgnoringCase(name.substr(name.size() - (wanted.size() - star - 2)),
                                    wanted.substr(star + 2));
    if (matches) found.push_back(FolderEntry{Utf8ToUtf16(name), file.normal});
  }
  return found;
}

FileHead FakeFiles::ReadHead(std::u16string_view path, std::size_t count) {
  const File* file = Find(Utf16ToUtf8(path));
  if (!file) return FileHead{{}, kFileNotFound};
  if (file->readError != kSuccess) return FileHead{{}, file->readError};
  const size_t n = std::min(count, file->content.size());
  return FileHead{{file->content.begin(), file->content.begin() + n}, kSuccess};
}

std::optional<std::u16string> FakeFiles::FullPath(std::u16string_view path) {
  const std::string given = Utf16ToUtf8(path);
  if (given.empty()) return std::nullopt;
  const bool full = (given.size() > 2 && given[1] == ':' && given[2] == '\\') || given.starts_with("\\\\");
  return Utf8ToUtf16(full ? given : currentFolder + "\\" + given);
}

bool FakeFiles::IsFile(std::u16string_view path) {
  const File* file = Find(Utf16ToUtf8(path));
  return file && !file->folder;
}

// --- FakeShortcuts

FakeShortcuts::FakeShortcuts(FakeFiles& files) : files_(files) { files_.AddFolder(Utf16ToUtf8(desktop.path)); }

// As Windows: no file where a folder is missing or stands at the path.
ErrorCode FakeShortcuts::Write(std::u16string_view file, const Shortcut& shortcut) {
  if (writeError != kSuccess) return writeError;
  const std::string path = Utf16ToUtf8(file);
  const FakeFiles::File* folder = files_.Find(path.substr(0, path.rfind('\\')));
  if (!folder || !folder->folder) return kPathNotFound;
  if (const FakeFiles::File* there = files_.Find(path)) {
    if (there->folder) return kAccessDenied;
  } else {
    files_.Add(path);
  }
  written[std::u16string(file)] = shortcut;
  return kSuccess;
}

LinkReading FakeShortcuts::Read(std::u16string_view file) {
  const auto found = std::find_if(written.begin(), written.end(),
                                  [&](const auto& link) { return EqualIgnoringCase(link.first, file); });
  if (found != written.end()) {
    const Shortcut& link = found->second;
    return LinkReading{link.target, link.arguments, link.workingFolder, kSuccess};
  }
  // The shell's link object says E_FAIL for a file it cannot parse.
  constexpr ErrorCode kNotALink = 0x80004005;
  return LinkReading{{}, {}, {}, files_.IsFile(file) ? kNotALink : kFileNotFound};
}

}  // namespace tavrel::fakes
