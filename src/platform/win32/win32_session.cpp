#include "platform/win32/win32_session.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/win32/wide.h"

// gdi32 exports EnableEUDC, but the SDK headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI EnableEUDC(BOOL fEnableEUDC);

namespace tavrel {

static_assert(kMbOk == MB_OK && kMbIconError == MB_ICONERROR && kMbIconQuestion == MB_ICONQUESTION &&
              kMbIconWarning == MB_ICONWARNING && kIdOk == IDOK);

namespace {

// Names in the session's own namespace: copies in other sessions are not ours.
constexpr wchar_t kInstanceLockName[] = L"Local\\Tavrel.SingleInstance";
constexpr wchar_t kGuardEventName[] = L"Local\\Tavrel.GuardDecided";
// How long a copy that lost the lock waits for the holder's decision.
constexpr DWORD kGuardDecisionTimeoutMs = 5000;

}  // namespace

std::string Win32Session::ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);  // the path was cut to fit
  }
}

Hinstance Win32Session::ModuleInstance() { return GetModuleHandleW(nullptr); }

std::u16string Win32Session::GetCommandLineW() {
  return reinterpret_cast<const char16_t*>(::GetCommandLineW());
}

namespace {

// Where the program's name ends, as CommandLineToArgvW takes it: at the
// closing quote when it begins with one, else at the first blank.
size_t EndOfProgramName(std::u16string_view line) {
  if (line.starts_with(u'"')) {
    const size_t close = line.find(u'"', 1);
    return close == std::u16string_view::npos ? line.size() : close + 1;
  }
  return std::min(line.find_first_of(u" \t"), line.size());
}

}  // namespace

std::vector<std::u16string> Win32Session::CommandLineToArgvW(std::u16string_view commandLine) {
  // Nothing after the program's name, as from a double click: its name
  // alone, without loading shell32 during start-up.
  const size_t nameEnd = EndOfProgramName(commandLine);
  if (!commandLine.empty() &&
      commandLine.find_first_not_of(u" \t", nameEnd) == std::u16string_view::npos) {
    std::u16string name(commandLine.substr(0, nameEnd));
    if (name.starts_with(u'"')) name = name.substr(1, name.size() - (name.ends_with(u'"') ? 2 : 1));
    return {name};
  }
  const std::u16string line(commandLine);  // the call wants it NUL-terminated
  int count = 0;
  // One block holds the array and the strings it points to.
  const UniqueLocalMemory<LPWSTR> arguments(::CommandLineToArgvW(AsWide(line.c_str()), &count));
  std::vector<std::u16string> out;
  if (!arguments) return out;
  for (int i = 0; i < count; ++i) {
    out.emplace_back(reinterpret_cast<const char16_t*>(arguments.get()[i]));
  }
  return out;
}

HANDLE Win32Session::GuardEvent() {
  if (!guardDecided_) guardDecided_.reset(CreateEventW(nullptr, TRUE, FALSE, kGuardEventName));
  return guardDecided_.get();
}

bool Win32Session::TryTakeInstanceLock() {
  UniqueWin32Handle lock(CreateMutexW(nullptr, TRUE, kInstanceLockName));
  const DWORD error = GetLastError();
  if (!lock || error == ERROR_ALREADY_EXISTS) return false;
  instanceLock_ = std::move(lock);
  // A decision announced by an earlier holder no longer holds.
  if (HANDLE event = GuardEvent()) ResetEvent(event);
  return true;
}

void Win32Session::AnnounceGuardDecided() {
  if (HANDLE event = GuardEvent()) SetEvent(event);
}

void Win32Session::AwaitGuardDecision() {
  if (HANDLE event = GuardEvent()) WaitForSingleObject(event, kGuardDecisionTimeoutMs);
}

int Win32Session::MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                              UINT style) {
  return ::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
}

std::string Win32Session::FormatMessageW(DWORD error) {
  wchar_t* text = nullptr;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the
  // address of a buffer that the call allocates with LocalAlloc.
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || !text) return {};
  std::wstring message(text, length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                              message.back() == L' ')) {
    message.pop_back();
  }
  return Narrow(message);
}

BOOL Win32Session::EnableEUDC(BOOL enable) { return ::EnableEUDC(enable); }

void Win32Session::EndProcess(UINT exitCode) {
  if (const auto teardown = std::exchange(teardown_, nullptr)) {
    try {
      teardown();
    } catch (...) {
      // The process ends all the same.
    }
  }
  ExitProcess(exitCode);
}

}  // namespace tavrel
