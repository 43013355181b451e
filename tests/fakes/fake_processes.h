// Processes and the event loop as the launcher meets them. A started process
// runs until a wait finds nothing else to do (then it ends by itself), unless
// a test ends it or keeps it running. Events queued by a test are dispatched
// by the next pass of the event loop inside a wait, as a user's clicks would be.
// Processes have ids and creation times; OpenProcess finds a process by its
// id while it runs or while a handle to it is open, as Windows does, and
// access rights are checked per handle.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "platform/process_api.h"

namespace tavrel::fakes {

class FakeProcesses final : public IProcesses, public IEventLoop {
 public:
  struct Process {
    std::string application;
    std::string commandLine;
    bool running = true;
    DWORD exitCode = 0;
    DWORD id = 0;
    std::uint64_t creationTime = 0;
    ProcessIdentity Identity() const { return {id, creationTime}; }
  };

  explicit FakeProcesses(FakeFileSystem& files) : files_(files) {}

  // A running process, as the shell starts one; returns its handle.
  Handle Spawn(std::string application, std::string commandLine);
  // A running process that someone else started: no handle of ours.
  std::shared_ptr<Process> AddRunning(DWORD id, std::uint64_t creationTime,
                                      std::string application = "C:\\Other\\program.exe");
  // Dispatched by the next pass of the event loop.
  void Queue(std::function<void()> event) { queued_.push_back(std::move(event)); }

  const std::vector<std::shared_ptr<Process>>& Started() const { return started_; }
  size_t OpenHandleCount() const { return handles_.size(); }
  size_t WaitCount() const { return waits_; }

  bool refuseDirectStart = false;  // CreateProcessW fails
  bool waitsFail = false;          // every wait fails, as on a handle without SYNCHRONIZE
  bool programsEndOnTheirOwn = true;
  DWORD exitCodeOfEndingPrograms = 0;

  BOOL CreateProcessW(const char16_t* applicationName, char16_t* commandLine, int showCommand,
                      ProcessInformation* info) override;
  Handle OpenProcess(DWORD desiredAccess, DWORD processId) override;
  DWORD GetProcessId(Handle process) override;
  BOOL GetProcessTimes(Handle process, FileTime* creation, FileTime* exit, FileTime* kernel,
                       FileTime* user) override;
  BOOL CloseHandle(Handle handle) override;
  DWORD WaitForSingleObject(Handle handle, DWORD milliseconds) override;
  DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) override;
  DWORD GetLastError() override { return lastError_; }
  void DoEvents() override;

 private:
  struct OpenHandle {
    std::shared_ptr<Process> process;
    DWORD access;
  };
  static constexpr DWORD kAllAccess = 0x1FFFFF;

  Handle NewHandle(std::shared_ptr<Process> process, DWORD access);
  std::shared_ptr<Process> NewProcess(std::string application, std::string commandLine);
  // The process behind a handle with these rights, or null (and the error set).
  Process* Resolve(Handle handle, DWORD need);
  // Ends the process when the test lets programs end on their own.
  void EndWhenIdle(Process& process);
  template <typename T>
  T Fail(T result, DWORD error) {
    lastError_ = error;
    return result;
  }

  FakeFileSystem& files_;
  std::vector<std::shared_ptr<Process>> started_;
  std::vector<std::shared_ptr<Process>> others_;
  std::map<Handle, OpenHandle> handles_;
  std::deque<std::function<void()>> queued_;
  size_t waits_ = 0;
  DWORD lastError_ = 0;
  std::uintptr_t nextHandle_ = 0x9000;
  DWORD nextId_ = 0x100;
  std::uint64_t clock_ = 0x01DC000000000000;  // a FILETIME in 2025
};

}  // namespace tavrel::fakes
