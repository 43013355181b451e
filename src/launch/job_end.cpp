#include "launch/job_end.h"

namespace tavrel {
namespace {

// A round starts again when a process joined while it ran; a program that
// starts processes without pause for this many rounds is not followed.
constexpr int kRounds = 32;

}  // namespace

// The port's messages are notifications: Windows does not promise to deliver
// them. So the count decides, read after each end: an exit whose count is 0
// ends the program even where the last message was lost, and the last
// message ends it only when the count agrees. A failed read after the last
// message is no end; after an exit it leaves the last message to decide.
ProgramStatus StatusAfter(JobMessage message, std::optional<std::uint32_t> running) {
  switch (message) {
    case JobMessage::PortFailed: return ProgramStatus::Unknown;
    case JobMessage::NoActiveProcess:
      if (!running) return ProgramStatus::Unknown;
      return *running == 0 ? ProgramStatus::Ended : ProgramStatus::Runs;
    case JobMessage::ProcessExited:
      return running == 0u ? ProgramStatus::Ended : ProgramStatus::Runs;
    case JobMessage::NewProcess:
    case JobMessage::Other: break;
  }
  return ProgramStatus::Runs;
}

// A job takes one completion port, here that of the copy that made it.
// Windows 8 and later let it be removed (a null port), so that another can
// be set; Windows 7 has no way to, and Wine 8 refuses both
// (ERROR_INVALID_PARAMETER). So a copy started after a kill holds the
// processes themselves, which every Windows allows. A list of them is a
// snapshot: a listed process may start a child and end before it is opened,
// and the child is in no list read so far. So the job's count of processes
// that ever joined is read before the list and again once every listed
// process is held: unchanged, no process joined in between, and every
// process that runs at the second reading was listed and is held. Nothing
// but a process of the job puts one into it (the handles Tavrel gives out
// only query the job, and the copy that assigned is gone), so every later
// process is the child of a held one, and the job is held again once those
// have ended. A count of 0 is final for the same reason.
HoldResult HoldEveryMember(IJobMembers& job) {
  for (int round = 0; round < kRounds; ++round) {
    const std::optional<IJobMembers::Counts> before = job.Count();
    if (!before) return HoldResult::Unknown;
    if (before->running == 0) return HoldResult::Ended;
    const std::optional<std::vector<std::uint32_t>> ids = job.Ids();
    if (!ids) return HoldResult::Unknown;
    job.ReleaseAll();
    for (const std::uint32_t id : *ids) {
      if (job.Take(id) == IJobMembers::Hold::Refused) return HoldResult::Unknown;
    }
    const std::optional<IJobMembers::Counts> after = job.Count();
    if (!after) return HoldResult::Unknown;
    if (after->everJoined == before->everJoined) return HoldResult::Held;
  }
  return HoldResult::Unknown;
}

}  // namespace tavrel
