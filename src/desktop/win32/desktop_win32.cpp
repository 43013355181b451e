#include "desktop/win32/desktop_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <array>

#include "base/win32/wide.h"

namespace tavrel {
namespace {

// Names in the session's own namespace: copies in other sessions are not ours.
constexpr wchar_t kInstanceLockName[] = L"Local\\Tavrel.SingleInstance";
constexpr wchar_t kGuardEventName[] = L"Local\\Tavrel.GuardDecided";
// How long a copy that lost the lock waits for the holder's decision.
constexpr DWORD kGuardDecisionTimeoutMs = 5000;
// How long the running copy's window may take to answer a hand-over.
constexpr UINT kHandOverTimeoutMs = 10000;
// How often a start that waits for a copy without a window looks for its window again.
constexpr DWORD kHandOverPollMs = 250;
// How long a start whose hand-over is refused waits for the lock: a copy
// refuses only in its last moments, and then gives the lock back.
constexpr DWORD kRefusedWaitMs = 10000;

// Where the program's name ends, as CommandLineToArgvW takes it: at the
// closing quote when it begins with one, else at the first blank.
size_t EndOfProgramName(std::wstring_view line) {
  if (line.starts_with(L'"')) {
    const size_t close = line.find(L'"', 1);
    return close == std::wstring_view::npos ? line.size() : close + 1;
  }
  return std::min(line.find_first_of(L" \t"), line.size());
}

}  // namespace

std::string Win32Desktop::ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // 0 cannot happen for the process's own module; a full buffer means cut.
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> Win32Desktop::Arguments() {
  const std::wstring_view line = GetCommandLineW();
  // Nothing after the program's name, as from a double click: no arguments,
  // without loading shell32 during start-up.
  if (line.find_first_not_of(L" \t", EndOfProgramName(line)) == std::wstring_view::npos) return {};
  int count = 0;
  // One block holds the array and the strings it points to.
  const UniqueLocalMemory<LPWSTR> split(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::string> arguments;
  // The first is the program's own name. Should the split fail (it needs
  // memory only), Tavrel starts as without arguments.
  for (int i = 1; split && i < count; ++i) arguments.push_back(Narrow(split.get()[i]));
  return arguments;
}

std::uint32_t Win32Desktop::Session() {
  DWORD session = 0;
  // It fails only for a process id that is gone, never for the own one.
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return session;
}

std::uint16_t Win32Desktop::DisplayLanguage() { return GetUserDefaultUILanguage(); }

HANDLE Win32Desktop::GuardEvent() {
  if (!guardDecided_) guardDecided_.reset(CreateEventW(nullptr, TRUE, FALSE, kGuardEventName));
  return guardDecided_.get();
}

namespace {

// The lock, opened (or made) without taking it. CreateMutexW succeeds with
// ERROR_ALREADY_EXISTS while any process holds a handle to the name, owner
// or not (a copy showing a box, one waiting to hand over): only a wait tells
// whether a copy runs.
UniqueWin32Handle OpenInstanceLock() { return UniqueWin32Handle(CreateMutexW(nullptr, FALSE, kInstanceLockName)); }

}  // namespace

Win32Desktop::~Win32Desktop() {
  // A mutex still owned when its thread ends is abandoned, which the next
  // copy would take for a kill.
  ReleaseInstanceLock();
}

Win32Desktop::InstanceLock Win32Desktop::TakeInstanceLock() {
  UniqueWin32Handle lock = OpenInstanceLock();
  // Unopenable (another user's copy made it with rights of its own): another runs.
  if (!lock) return InstanceLock::HeldByAnother;
  switch (WaitForLock(lock, 0)) {
    case Waited::Taken: return InstanceLock::Owned;
    case Waited::TakenAfterAKill: return InstanceLock::OwnedAfterAKill;
    case Waited::NotYet:
    case Waited::Failed: return InstanceLock::HeldByAnother;  // the handle goes with `lock`
  }
  return InstanceLock::HeldByAnother;
}

// A mutex whose owning thread ended without releasing it is given to the
// next waiter as WAIT_ABANDONED: owned, with the sign that its holder was
// killed. Ownership is the waiting thread's, as is the release.
Win32Desktop::Waited Win32Desktop::WaitForLock(UniqueWin32Handle& lock, DWORD timeoutMs) {
  const DWORD waited = WaitForSingleObject(lock.get(), timeoutMs);
  if (waited == WAIT_TIMEOUT) return Waited::NotYet;
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return Waited::Failed;
  instanceLock_ = std::move(lock);
  // A decision announced by an earlier holder no longer holds. Without the
  // event a waiting copy waits out its time-out instead: nothing is lost.
  if (HANDLE event = GuardEvent()) ResetEvent(event);
  return waited == WAIT_ABANDONED ? Waited::TakenAfterAKill : Waited::Taken;
}

void Win32Desktop::AnnounceGuardDecided() {
  if (HANDLE event = GuardEvent()) SetEvent(event);
}

void Win32Desktop::AwaitGuardDecision() {
  // Timed out or not, the copy refuses next: the wait only orders the boxes.
  if (HANDLE event = GuardEvent()) WaitForSingleObject(event, kGuardDecisionTimeoutMs);
}

bool Win32Desktop::AnotherCopyIsOpen() {
  // This copy's own window does not exist yet, so a main window of Tavrel's
  // class belongs to another copy. Windows of other programs that merely
  // carry the name (a folder, a console, an editor) do not count.
  return FindWindowExW(nullptr, nullptr, AsWide(kMainWindowClass), nullptr) != nullptr;
}

namespace {

// The user a token belongs to.
std::vector<BYTE> TokenUserOf(HANDLE process) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return {};
  const UniqueWin32Handle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // only sizes the buffer
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return {};
  return user;
}

bool SameUser(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
  return !a.empty() && !b.empty() &&
         EqualSid(reinterpret_cast<const TOKEN_USER*>(a.data())->User.Sid,
                  reinterpret_cast<const TOKEN_USER*>(b.data())->User.Sid);
}

// Whether the process runs as the same user as this one.
bool OfThisUser(DWORD processId) {
  const UniqueWin32Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  return process && SameUser(TokenUserOf(process.get()), TokenUserOf(GetCurrentProcess()));
}

}  // namespace

// A window of Tavrel's class is not yet one to trust: it must belong to a
// process of the same user. The window copies the data and returns at once.
Win32Desktop::Sent Win32Desktop::SendToMainWindow(const std::vector<std::uint8_t>& bytes) {
  for (HWND window = FindWindowExW(nullptr, nullptr, AsWide(kMainWindowClass), nullptr); window;
       window = FindWindowExW(nullptr, window, AsWide(kMainWindowClass), nullptr)) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || !OfThisUser(processId)) continue;
    // Lets the running copy come to the front; without it, it only flashes.
    AllowSetForegroundWindow(processId);
    COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(bytes.size()), const_cast<std::uint8_t*>(bytes.data())};
    DWORD_PTR taken = FALSE;
    const bool answered = SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                              SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverTimeoutMs, &taken);
    return answered && taken ? Sent::Taken : Sent::Refused;
  }
  return Sent::NoWindow;
}

bool Win32Desktop::AwaitLockWhileNoCopyIsOpen() {
  UniqueWin32Handle lock = OpenInstanceLock();
  if (!lock) return false;
  // A logon's restore shows no window and may wait for a program a while;
  // a copy that shows one does so within moments of its guard decision.
  for (;;) {
    if (AnotherCopyIsOpen()) return false;
    switch (WaitForLock(lock, kHandOverPollMs)) {
      case Waited::Taken:
      case Waited::TakenAfterAKill: return true;
      case Waited::Failed: return false;
      case Waited::NotYet: break;
    }
  }
}

Win32Desktop::HandOverResult Win32Desktop::HandToRunningCopy(const tavrel::HandOver& handOver) {
  // Held only while this copy waits: a copy that hands over or gives up
  // keeps nothing that another start would find.
  UniqueWin32Handle lock = OpenInstanceLock();
  if (!lock) return HandOverResult::Refused;
  const std::vector<std::uint8_t> bytes = SerializeHandOver(handOver);
  // No window yet: the holder is a logon's restore, which shows none, or a
  // copy about to show its window. Either way the lock or the window comes.
  // A window that does not take it belongs to a copy that is closing: its
  // lock comes soon.
  ULONGLONG firstRefused = 0;
  for (;;) {
    switch (SendToMainWindow(bytes)) {
      case Sent::Taken: return HandOverResult::Delivered;
      case Sent::Refused:
        if (firstRefused == 0) firstRefused = GetTickCount64();
        if (GetTickCount64() - firstRefused > kRefusedWaitMs) return HandOverResult::Refused;
        break;
      case Sent::NoWindow: break;
    }
    // Given back, or abandoned by a holder that ended: ours either way.
    switch (WaitForLock(lock, kHandOverPollMs)) {
      case Waited::Taken:
      case Waited::TakenAfterAKill: return HandOverResult::LockTaken;
      case Waited::Failed: return HandOverResult::Refused;
      case Waited::NotYet: break;
    }
  }
}

void Win32Desktop::ReleaseInstanceLock() {
  // Owned since TakeInstanceLock or a wait on this thread: the release cannot fail.
  if (instanceLock_) ReleaseMutex(instanceLock_.get());
  instanceLock_.reset();
}

std::string Win32Desktop::ErrorText(ErrorCode error, std::string_view insert) {
  // Some system texts name what failed by an insert (error 193: "%1 is not a
  // valid Win32 application."). Every insert gets the same string; 99 is the
  // highest number an insert can have. With FORMAT_MESSAGE_ARGUMENT_ARRAY the
  // last argument is an array of DWORD_PTR, not a va_list, and a plain "%n"
  // insert reads its element as the address of a string.
  const std::wstring filler = Wide(insert);
  std::array<DWORD_PTR, 99> inserts{};
  inserts.fill(reinterpret_cast<DWORD_PTR>(filler.c_str()));
  wchar_t* text = nullptr;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the
  // address of a buffer that the call allocates with LocalAlloc.
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, reinterpret_cast<va_list*>(inserts.data()));
  const UniqueLocalMemory<wchar_t> owned(text);
  if (length == 0 || !text) return {};
  std::wstring message(text, length);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' ')) {
    message.pop_back();
  }
  return Narrow(message);
}

}  // namespace tavrel
