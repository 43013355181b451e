#include "fakes/fake_processes.h"

#include <stdexcept>

#include "platform/text.h"

namespace tavrel::fakes {

Handle FakeProcesses::Spawn(std::string application, std::string commandLine) {
  auto process = std::make_shared<Process>(Process{std::move(application), std::move(commandLine)});
  started_.push_back(process);
  const auto handle = reinterpret_cast<Handle>(nextHandle_);
  nextHandle_ += 0x10;
  handles_[handle] = process;
  return handle;
}

BOOL FakeProcesses::CreateProcessA(const char* applicationName, char* commandLine, int,
                                   ProcessInformation* info) {
  const std::string application = applicationName ? AnsiToUtf8(applicationName) : std::string();
  if (refuseDirectStart || application.empty() || !files_.Exists(application)) return 0;
  info->hProcess = Spawn(application, AnsiToUtf8(commandLine));
  info->dwProcessId = static_cast<DWORD>(started_.size() + 4000);
  return 1;
}

BOOL FakeProcesses::CloseHandle(Handle handle) { return handles_.erase(handle) ? 1 : 0; }

DWORD FakeProcesses::MsgWaitForSingleObject(Handle handle, DWORD) {
  ++waits_;
  const auto it = handles_.find(handle);
  if (it == handles_.end() || waitsFail) return kWaitFailed;
  Process& process = *it->second;
  if (!process.running) return kWaitObject0;
  if (!queued_.empty()) return kWaitObject0 + 1;
  if (!programsEndOnTheirOwn) throw std::logic_error("wait would never end");
  process.running = false;
  process.exitCode = exitCodeOfEndingPrograms;
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
