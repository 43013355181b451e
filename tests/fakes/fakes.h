// In-memory stand-ins for Tavrel's seams. Each keeps the seam's contract as
// the contract suites state it, and lets a test make any call fail.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "run/run_view.h"
#include "desktop/desktop.h"
#include "files/files.h"
#include "settings/settings.h"
#include "shortcuts/shortcuts.h"
#include "eudc/eudc_key.h"
#include "eudc/journal_store.h"
#include "launch/launcher.h"

namespace tavrel::fakes {

// What a fake answers for a call a test makes fail.
inline constexpr ErrorCode kInjectedFault = 1117;  // ERROR_IO_DEVICE

// One counter over the key's and the store's calls, so that a test can fail
// each call of a whole launch in turn.
struct CallFaults {
  std::size_t calls = 0;
  std::size_t failing = static_cast<std::size_t>(-1);
  bool Fails() { return calls++ == failing; }
};

// HKCU\EUDC\<code page>: each key absent until written, values in the
// order first written.
class FakeEudcKey final : public IEudcKey {
 public:
  CodePage activeCodePage = kJapaneseCodePage;  // what ActiveCodePage answers
  std::optional<std::vector<RawValue>> values;  // EUDC\932; nothing: no key
  std::map<CodePage, std::optional<std::vector<RawValue>>> otherKeys;  // of the other code pages
  ErrorCode readError = kSuccess;               // ReadAll fails with it
  std::map<std::u16string, ErrorCode> writeErrors;  // by value name, for every write
  ErrorCode flushError = kSuccess;
  ErrorCode enableError = kSuccess;
  std::optional<std::u16string> windowsDirectory = u"C:\\WINDOWS";
  std::vector<bool> reloads;  // EnableEudc's arguments, in order
  std::size_t writes = 0;     // values written
  CallFaults* faults = nullptr;        // counts every call, fails the one it names
  std::function<void()> beforeWrite;  // runs at each Write, before it changes anything

  // The values of EUDC\<code page>, 932 unless named.
  std::optional<std::vector<RawValue>>& Key(CodePage codePage = kJapaneseCodePage);
  void SetText(std::u16string_view name, std::u16string_view text, CodePage codePage = kJapaneseCodePage);
  std::optional<std::u16string> Text(std::u16string_view name, CodePage codePage = kJapaneseCodePage) const;

  CodePage ActiveCodePage() override { return activeCodePage; }
  KeyReading ReadAll(CodePage codePage) override;
  std::vector<WriteFailure> Write(CodePage codePage, std::span<const RawValue> written) override;
  ErrorCode Flush(CodePage) override { return Fails() ? kInjectedFault : flushError; }
  ErrorCode EnableEudc(bool enable) override;
  std::optional<std::u16string> WindowsDirectory() override {
    return Fails() ? std::nullopt : windowsDirectory;
  }

 private:
  bool Fails() { return faults && faults->Fails(); }
  std::vector<WriteFailure> Store(CodePage codePage, std::span<const RawValue> written);
};

class FakeJournalStore final : public IJournalStore {
 public:
  std::optional<std::vector<std::uint8_t>> record;
  bool unreadable = false;  // Read says Unreadable with readError
  ErrorCode readError = kSuccess;
  std::optional<std::u16string> logonCommand;
  // Each operation fails with its error while one is set.
  ErrorCode writeError = kSuccess, logonError = kSuccess, flushError = kSuccess,
            removeError = kSuccess;
  std::vector<std::string> calls;  // "write", "logon", "flush", "remove"
  CallFaults* faults = nullptr;    // shared with the key's

  StoredRecord Read() override;
  StoreStatus Write(std::span<const std::uint8_t> bytes) override;
  StoreStatus SetLogonCommand(std::u16string_view command) override;
  StoreStatus Flush() override;
  StoreStatus Remove() override;

 private:
  bool Fails() { return faults && faults->Fails(); }
};

// Programs are started as processes with ids from 100 on; a test ends them.
// A process may start children, which belong to the same launch: a launch
// has ended once every process of it has.
class FakeLauncher final : public ILauncher {
 public:
  struct Process {
    ProcessIdentity identity;
    std::u16string program;
    bool running = true;
    WaitHandle signal = nullptr;
    std::uint32_t launch = 0;  // shared by the processes of one launch; 0: the process alone
    bool endUnknown = false;   // its launch's end can no longer be known (a query failed)
  };
  std::deque<Process> processes;  // every process the fake knows, started or not
  std::optional<ErrorCode> startError;  // the next starts fail with it (kCancelled: the user refused)
  std::vector<StartRequest> requests;   // every Start's request
  bool handOver = false;                // the next starts run no process of their own
  bool identityUnreadable = false;
  ProcessIdentity self{42, 0x01DC000000000042ull};  // Tavrel's own process
  WaitHandle nextSignal = nullptr;  // the next start's end signal (a real event, say), when set
  std::vector<std::u16string> opened;   // what Open was given
  ErrorCode openError = kSuccess;
  std::vector<WindowHandle> owners;     // the owner of each Start and Open
  std::size_t openPrograms = 0;         // RunningPrograms not yet destroyed
  std::function<void()> whileStarting;  // runs inside Start, as the shell's prompt would

  // A process that runs without Tavrel having started it (an earlier copy's).
  ProcessIdentity AddRunning(std::u16string program);
  Process& Started(std::size_t index);  // the index-th process Start started
  Process& StartChild(Process& parent);  // a process of the parent's launch
  std::size_t StartCount() const { return started_.size(); }
  void End(Process& process) { process.running = false; }
  // A process of the launch `first` started that runs, other than `ended`;
  // null when all have ended.
  static const Process* RunningMember(const std::deque<Process>& processes, const Process& first,
                                      const Process* ended = nullptr);
  // Whether a process of that launch has its end unknown.
  static bool EndUnknown(const std::deque<Process>& processes, const Process& first);

  StartOutcome Start(const StartRequest& request) override;
  ErrorCode Open(std::u16string_view target, WindowHandle owner) override;
  ProcessIdentity Self() override { return self; }
  RunningProgram FindRunning(const ProcessIdentity& identity) override;

 private:
  RunningProgram Hold(Process& process);
  std::vector<std::size_t> started_;
  std::uint32_t nextId_ = 100;
};

class FakeDesktop final : public IDesktop {
 public:
  std::string executablePath = "C:\\Apps\\Viewer\\Tavrel.exe";
  std::vector<std::string> arguments;
  std::uint32_t session = 1;
  std::uint16_t displayLanguage = 0x0411;  // Japanese (Japan)
  bool lockFree = true;
  bool lockAbandoned = false;  // free, left by a copy that was killed
  bool holderEndsWithoutWindow = false;  // a plain second start's wait ends with the lock
  bool anotherCopyOpen = false;
  HandOverResult handOverResult = HandOverResult::Delivered;
  std::vector<tavrel::HandOver> handedOver;
  std::vector<std::string> guardSteps;  // "lock", "await", "wait", "search", "announce", "release"
  std::map<ErrorCode, std::string> errorTexts;

  std::string ExecutablePath() override { return executablePath; }
  std::vector<std::string> Arguments() override { return arguments; }
  std::uint32_t Session() override { return session; }
  std::uint16_t DisplayLanguage() override { return displayLanguage; }
  InstanceLock TakeInstanceLock() override;
  void AnnounceGuardDecided() override { guardSteps.push_back("announce"); }
  void AwaitGuardDecision() override { guardSteps.push_back("await"); }
  bool AwaitLockWhileNoCopyIsOpen() override {
    guardSteps.push_back("wait");
    return holderEndsWithoutWindow;
  }
  bool AnotherCopyIsOpen() override;
  HandOverResult HandToRunningCopy(const tavrel::HandOver& handOver) override {
    handedOver.push_back(handOver);
    return handOverResult;
  }
  void ReleaseInstanceLock() override { guardSteps.push_back("release"); }
  // The text set for the code, its "%1" replaced by the insert.
  std::string ErrorText(ErrorCode error, std::string_view insert) override;
};

// Files by full path, compared without regard to case; a listing matches
// "<folder>\*<end>" or one exact path.
class FakeFiles final : public IFiles {
 public:
  struct File {
    std::string path;  // UTF-8
    std::vector<std::uint8_t> content;
    bool normal = true;
    ErrorCode readError = kSuccess;
    bool folder = false;  // listed (not normal), but no file
  };
  std::vector<File> files;
  std::string currentFolder = "C:\\Users\\user";

  void Add(std::string path, std::vector<std::uint8_t> content = {}, bool normal = true);
  // A file that begins as TrueType fonts do.
  void AddFont(std::string path);
  void AddFolder(std::string path);
  File* Find(std::string_view path);

  std::vector<FolderEntry> List(std::u16string_view pattern) override;
  FileHead ReadHead(std::u16string_view path, std::size_t count) override;
  std::optional<std::u16string> FullPath(std::u16string_view path) override;
  bool IsFile(std::u16string_view path) override;
};

// The settings file: nothing stored until written; `writable` false for a
// folder Tavrel may not write to.
class FakeSettings final : public ISettings {
 public:
  std::map<std::string, std::string> values;
  bool writable = true;

  std::optional<std::string> Read(std::string_view name) override {
    const auto found = values.find(std::string(name));
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  bool Write(std::string_view name, std::string_view value) override {
    if (writable) values[std::string(name)] = std::string(value);
    return writable;
  }
};

// Shortcuts written as files of a FakeFiles, into folders it knows; the
// desktop is a folder there from the start.
class FakeShortcuts final : public IShortcuts {
 public:
  explicit FakeShortcuts(FakeFiles& files);
  FolderPath desktop{u"C:\\Users\\user\\Desktop", kSuccess};
  ErrorCode writeError = kSuccess;  // every write fails with it
  std::map<std::u16string, Shortcut> written;  // by path as written

  FolderPath DesktopFolder() override { return desktop; }
  ErrorCode Write(std::u16string_view file, const Shortcut& shortcut) override;
  // What was written there; a file that is no shortcut cannot be read as one.
  LinkReading Read(std::u16string_view file) override;

 private:
  FakeFiles& files_;
};

class FakeView final : public IRunView {
 public:
  Screen screen;
  std::size_t shows = 0;
  WindowHandle owner = reinterpret_cast<WindowHandle>(0x5100);

  void Show(const Screen& s) override {
    screen = s;
    ++shows;
  }
  WindowHandle Owner() const override { return owner; }
  void BringToFront() override { ++broughtToFront; }
  std::size_t broughtToFront = 0;

  // The boxes, as the window shows them: owned by it while it is shown.
  struct Shown {
    WindowHandle owner;
    Box box;
  };
  std::vector<Shown> shown;
  std::deque<bool> answers;  // the answers to YesNo boxes, in turn; Yes when none is left
  std::function<void(const Box&)> whileShown;  // runs while a box is up
  bool ShowBox(const Box& box) override;
};

}  // namespace tavrel::fakes
