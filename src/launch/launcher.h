// Starting the user's program, finding a journalled program again, and
// opening the home page: what Tavrel needs of the shell and of processes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "base/process.h"

namespace tavrel {

// What the message loop waits on: signalled once the program may have ended
// (on Windows a process handle, or an event the launcher sets).
using WaitHandle = void*;

// What a look at a program finds.
enum class ProgramStatus {
  Runs,     // a process of it runs: EndSignal names what to wait for next
  Ended,    // its last process has ended
  Unknown,  // its end can no longer be known (a query failed): never an end
};

// A started or found program, held open until this object goes. The program
// is the process started and every process it starts (and those start in
// turn): a launcher that starts the real program and ends has not ended the
// program.
class IRunningProgram {
 public:
  virtual ~IRunningProgram() = default;
  [[nodiscard]] virtual WaitHandle EndSignal() const = 0;
  // Whether the whole program has ended; asked once EndSignal has fired
  // (and at any time). Runs: EndSignal now names what is left to wait for.
  [[nodiscard]] virtual ProgramStatus Status() = 0;
  // The process started (or found), even once it has ended and others of
  // the program run on; nothing when its identity cannot be read.
  [[nodiscard]] virtual std::optional<ProcessIdentity> Identity() const = 0;
};
using RunningProgram = std::unique_ptr<IRunningProgram>;

struct StartRequest {
  std::u16string program;    // full path
  std::u16string arguments;  // its command line after its name; empty for none
  std::u16string folder;     // its working folder
  ShowState show = ShowState::Normal;
  WindowHandle owner = nullptr;  // of any box the shell shows
};

struct [[nodiscard]] StartOutcome {
  enum class Result {
    Started,     // a process of its own: `program` to wait for
    HandedOver,  // served without a new process (a running program took it)
    Cancelled,   // the user refused it at the shell's prompt: nothing started
    Failed,      // nothing started: `error` says why
  };
  Result result = Result::Failed;
  RunningProgram program;
  ErrorCode error = kSuccess;
};

class ILauncher {
 public:
  virtual ~ILauncher() = default;

  // Starts the program through the shell's "open", as Explorer would.
  [[nodiscard]] virtual StartOutcome Start(const StartRequest& request) = 0;
  // Opens a document or an address through the shell, without waiting.
  [[nodiscard]] virtual ErrorCode Open(std::u16string_view target, WindowHandle owner) = 0;
  // This process's own identity.
  [[nodiscard]] virtual ProcessIdentity Self() = 0;
  // The program started as the process with this identity while it, or a
  // process it started, still runs; null once all have ended or when its id
  // now names another process. One whose end cannot be known is returned,
  // its status Unknown.
  [[nodiscard]] virtual RunningProgram FindRunning(const ProcessIdentity& identity) = 0;
};

}  // namespace tavrel
