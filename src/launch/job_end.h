// When a program held in a job has ended, by rules that need no platform.
// A program Tavrel starts is watched through the job's own messages; one
// found again after a kill of Tavrel is watched by holding every process of
// its job, since its job takes no second listener (job_end.cpp says why).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "launch/launcher.h"

namespace tavrel {

// What the job reports through its completion port.
enum class JobMessage {
  NewProcess,       // a process joined
  ProcessExited,    // a process ended (normally or not)
  NoActiveProcess,  // the last running process has ended
  Other,            // a limit's message: none is set
  PortFailed,       // the port could not be read
};

// The program's status after a message, given the count of the job's running
// processes read after it (nothing: not read, or the reading failed).
ProgramStatus StatusAfter(JobMessage message, std::optional<std::uint32_t> running);

// A job's processes, to be held open one by one so that each end can be
// waited for.
class IJobMembers {
 public:
  struct Counts {
    std::uint32_t running = 0;
    std::uint32_t everJoined = 0;  // never goes down
  };
  enum class Hold {
    Held,     // open and waitable (perhaps ended already)
    Gone,     // ended: no process has that id, or another one outside the job
    Refused,  // it runs, but cannot be opened
  };
  virtual ~IJobMembers() = default;
  virtual std::optional<Counts> Count() = 0;
  virtual std::optional<std::vector<std::uint32_t>> Ids() = 0;  // the running processes
  virtual Hold Take(std::uint32_t id) = 0;
  virtual void ReleaseAll() = 0;
};

enum class HoldResult {
  Ended,    // no process of the job runs
  Held,     // every process that runs is held: any later one is a child of one of them
  Unknown,  // a count, the list or a process could not be had
};

// Holds every running process of the job, after letting go of those held
// before.
HoldResult HoldEveryMember(IJobMembers& job);

}  // namespace tavrel
