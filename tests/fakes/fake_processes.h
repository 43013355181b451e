// Processes and the event loop as the launcher meets them. A started process
// runs until a wait finds nothing else to do (then it ends by itself), unless
// a test ends it or keeps it running. Events queued by a test are dispatched
// by the next pass of the event loop inside a wait, as a user's clicks would be.
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
  };

  explicit FakeProcesses(FakeFileSystem& files) : files_(files) {}

  // A running process, as the shell starts one; returns its handle.
  Handle Spawn(std::string application, std::string commandLine);
  // Dispatched by the next pass of the event loop.
  void Queue(std::function<void()> event) { queued_.push_back(std::move(event)); }

  const std::vector<std::shared_ptr<Process>>& Started() const { return started_; }
  size_t OpenHandleCount() const { return handles_.size(); }
  size_t WaitCount() const { return waits_; }

  bool refuseDirectStart = false;  // CreateProcessA fails
  bool waitsFail = false;          // every wait fails, as on a handle without SYNCHRONIZE
  bool programsEndOnTheirOwn = true;
  DWORD exitCodeOfEndingPrograms = 0;

  BOOL CreateProcessA(const char* applicationName, char* commandLine, int showCommand,
                      ProcessInformation* info) override;
  BOOL CloseHandle(Handle handle) override;
  DWORD MsgWaitForSingleObject(Handle handle, DWORD milliseconds) override;
  void DoEvents() override;

 private:
  FakeFileSystem& files_;
  std::vector<std::shared_ptr<Process>> started_;
  std::map<Handle, std::shared_ptr<Process>> handles_;
  std::deque<std::function<void()>> queued_;
  size_t waits_ = 0;
  std::uintptr_t nextHandle_ = 0x9000;
};

}  // namespace tavrel::fakes
