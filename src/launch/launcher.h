// Starting the user's program, finding a journalled program again, and
// opening the home page: what Tavrel needs of the shell and of processes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "base/errors.h"

namespace tavrel {

// A process as it can be found again later: its id alone is not enough, since
// Windows hands an ended process's id to a later one.
struct ProcessIdentity {
  std::uint32_t processId = 0;
  std::uint64_t creationTime = 0;  // FILETIME: 100 ns units since 1601
  bool operator==(const ProcessIdentity&) const = default;
};

// What the message loop waits on: signalled once the program has ended (a
// process handle on Windows).
using WaitHandle = void*;

// A started or found program, held open until this object goes.
class IRunningProgram {
 public:
  virtual ~IRunningProgram() = default;
  [[nodiscard]] virtual WaitHandle EndSignal() const = 0;
  // Nothing when the process's identity cannot be read.
  [[nodiscard]] virtual std::optional<ProcessIdentity> Identity() const = 0;
};
using RunningProgram = std::unique_ptr<IRunningProgram>;

struct [[nodiscard]] StartOutcome {
  enum class Result {
    Started,     // a process of its own: `program` to wait for
    HandedOver,  // served without a new process (a running program took it)
    Failed,      // nothing started: `error` says why
  };
  Result result = Result::Failed;
  RunningProgram program;
  ErrorCode error = kSuccess;
};

class ILauncher {
 public:
  virtual ~ILauncher() = default;

  // Starts the program at this full path through the shell's "open", with a
  // normal window; any box the shell shows belongs to `owner`.
  [[nodiscard]] virtual StartOutcome Start(std::u16string_view program, WindowHandle owner) = 0;
  // Opens a document or an address through the shell, without waiting.
  [[nodiscard]] virtual ErrorCode Open(std::u16string_view target, WindowHandle owner) = 0;
  // This process's own identity.
  [[nodiscard]] virtual ProcessIdentity Self() = 0;
  // The program with this identity while it still runs; null once it has
  // ended or when its id now names another process.
  [[nodiscard]] virtual RunningProgram FindRunning(const ProcessIdentity& identity) = 0;
};

}  // namespace tavrel
