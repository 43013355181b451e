#include "fakes/fake_processes.h"

#include <stdexcept>

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr std::uint64_t kOneSecond = 10'000'000;  // in FILETIME units

FileTime AsFileTime(std::uint64_t ticks) {
  return FileTime{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

std::shared_ptr<FakeProcesses::Process> FakeProcesses::NewProcess(std::string application,
                                                                  std::string commandLine) {
  auto process = std::make_shared<Process>(Process{std::move(application), std::move(commandLine)});
  process->id = nextId_;
  nextId_ += 4;
  clock_ += kOneSecond;
  process->creationTime = clock_;
  return process;
}

Handle FakeProcesses::NewHandle(std::shared_ptr<Process> process, DWORD access) {
  const auto handle = reinterpret_cast<Handle>(nextHandle_);
  nextHandle_ += 0x10;
  handles_[handle] = OpenHandle{std::move(process), access};
  return handle;
}

Handle FakeProcesses::Spawn(std::string application, std::string commandLine) {
  auto process = NewProcess(std::move(application), std::move(commandLine));
  started_.push_back(process);
  return NewHandle(process, kAllAccess);
}

std::shared_ptr<FakeProcesses::Process> FakeProcesses::AddRunning(DWORD id,
                                                                  std::uint64_t creationTime,
                                                                  std::string application) {
  auto process = std::make_shared<Process>(Process{std::move(application), {}});
  process->id = id;
  process->creationTime = creationTime;
  others_.push_back(process);
  return process;
}

BOOL FakeProcesses::CreateProcessW(const char16_t* applicationName, char16_t* commandLine, int,
                                   ProcessInformation* info) {
  const std::string application = applicationName ? Utf16ToUtf8(applicationName) : std::string();
  if (refuseDirectStart || application.empty() || !files_.Exists(application)) {
    return Fail(0, kErrorFileNotFound);
  }
  info->hProcess = Spawn(application, Utf16ToUtf8(commandLine));
  info->dwProcessId = started_.back()->id;
  return 1;
}

Handle FakeProcesses::OpenProcess(DWORD desiredAccess, DWORD processId) {
  // A process object lives while the process runs or a handle holds it; the
  // latest one wins when an id has been handed out again.
  std::shared_ptr<Process> found;
  const auto consider = [&](const std::shared_ptr<Process>& p) {
    if (p->id != processId) return;
    const bool held = std::any_of(handles_.begin(), handles_.end(),
                                  [&](const auto& h) { return h.second.process == p; });
    if (p->running || held) found = p;
  };
  for (const auto& p : others_) consider(p);
  for (const auto& p : started_) consider(p);
  if (!found) return Fail<Handle>(nullptr, kErrorInvalidParameter);
  return NewHandle(found, desiredAccess);
}

FakeProcesses::Process* FakeProcesses::Resolve(Handle handle, DWORD need) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return Fail<Process*>(nullptr, kErrorInvalidHandle);
  if ((it->second.access & need) != need) return Fail<Process*>(nullptr, kErrorAccessDenied);
  return it->second.process.get();
}

DWORD FakeProcesses::GetProcessId(Handle handle) {
  const Process* process = Resolve(handle, kProcessQueryLimitedInformation);
  return process ? process->id : 0;
}

BOOL FakeProcesses::GetProcessTimes(Handle handle, FileTime* creation, FileTime* exit,
                                    FileTime* kernel, FileTime* user) {
  const Process* process = Resolve(handle, kProcessQueryLimitedInformation);
  if (!process) return 0;
  *creation = AsFileTime(process->creationTime);
  *exit = AsFileTime(process->running ? 0 : process->creationTime + kOneSecond);
  *kernel = *user = FileTime{};
  return 1;
}

BOOL FakeProcesses::CloseHandle(Handle handle) {
  return handles_.erase(handle) ? 1 : Fail(0, kErrorInvalidHandle);
}

void FakeProcesses::EndWhenIdle(Process& process) {
  if (!programsEndOnTheirOwn) throw std::logic_error("wait would never end");
  process.running = false;
  process.exitCode = exitCodeOfEndingPrograms;
}

DWORD FakeProcesses::WaitForSingleObject(Handle handle, DWORD milliseconds) {
  Process* process = Resolve(handle, kSynchronize);
  if (!process) return kWaitFailed;
  if (!process->running) return kWaitObject0;
  if (milliseconds == 0) return kWaitTimeout;
  EndWhenIdle(*process);
  return kWaitObject0;
}

DWORD FakeProcesses::MsgWaitForSingleObject(Handle handle, DWORD) {
  ++waits_;
  if (waitsFail) return Fail(kWaitFailed, kErrorAccessDenied);
  Process* process = Resolve(handle, kSynchronize);
  if (!process) return kWaitFailed;
  if (!process->running) return kWaitObject0;
  if (!queued_.empty()) return kWaitObject0 + 1;
  EndWhenIdle(*process);
  return kWaitObject0;
}

void FakeProcesses::DoEvents() {
  // Only what was pending when the pass began; later events wait for the next.
  std::deque<std::function<void()>> pending;
  pending.swap(queued_);
  while (!pending.empty()) {
    auto event = std::move(pending.front());
    pending.pop_front();
    event();
  }
}

}  // namespace tavrel::fakes
