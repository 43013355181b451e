#include "native/processes.h"

#include <tlhelp32.h>

#include <vector>

namespace tavrel::native {
namespace {

constexpr DWORD kAccess = SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION;

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // Not the helper windows a process makes before its own (the input method's).
  if (pid == found->first && IsWindowVisible(window)) found->second.push_back(window);
  return TRUE;
}

}  // namespace

Processes::~Processes() { EndAll(); }

void Processes::EndAll() {
  for (auto& [pid, handle] : handles_) {
    if (WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(handle.get(), 1);
      WaitForSingleObject(handle.get(), 10000);
    }
  }
  handles_.clear();
}

DWORD Processes::Start(const std::wstring& folder, const std::wstring& line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring writable = line;  // CreateProcessW may write into the line
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &started)) {
    return 0;
  }
  CloseHandle(started.hThread);
  handles_[started.dwProcessId].reset(started.hProcess);
  return started.dwProcessId;
}

bool Processes::Adopt(DWORD pid) {
  const HANDLE process = OpenProcess(kAccess, FALSE, pid);
  if (!process) return false;
  handles_[pid].reset(process);
  return Running(pid);
}

bool Processes::Running(DWORD pid) const { return !WaitEnded(pid, 0); }

bool Processes::WaitEnded(DWORD pid, DWORD ms) const {
  const auto found = handles_.find(pid);
  return found == handles_.end() || WaitForSingleObject(found->second.get(), ms) == WAIT_OBJECT_0;
}

bool Processes::CloseWindows(DWORD pid) {
  std::pair<DWORD, std::vector<HWND>> found{pid, {}};
  EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&found));
  for (const HWND window : found.second) PostMessageW(window, WM_CLOSE, 0, 0);
  return !found.second.empty();
}

void Processes::Kill(DWORD pid) {
  if (const auto found = handles_.find(pid); found != handles_.end()) {
    TerminateProcess(found->second.get(), 1);
    WaitForSingleObject(found->second.get(), 10000);
  }
}

std::optional<DWORD> ParentOf(DWORD pid) {
  const HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
  const UniqueWin32Handle snapshot(raw);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == pid) return entry.th32ParentProcessID;
  }
  return std::nullopt;
}

}  // namespace tavrel::native
