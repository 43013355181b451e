#include "launch/win32/launch_job.h"

#include <string>
#include <vector>

namespace tavrel {
namespace {

// Local\Tavrel.Launch.<process id>.<creation time, hexadecimal>: unique to
// the started process, as its identity is.
std::wstring Digits(std::uint64_t value, unsigned base) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring digits;
  for (std::uint64_t rest = value; rest != 0 || digits.empty(); rest /= base) {
    digits.insert(digits.begin(), kDigits[rest % base]);
  }
  return digits;
}

// (Not std::to_wstring: MinGW's goes through swprintf, whose formatter would
// add a tenth to the executable.)
std::wstring JobName(const ProcessIdentity& identity) {
  return L"Local\\Tavrel.Launch." + Digits(identity.processId, 10) + L"." + Digits(identity.creationTime, 16);
}

// Windows takes an object's name away once its last handle is closed, even
// while processes still hold the job (Wine keeps the name as long as the job
// lives). A handle in the member Tavrel waits on keeps the name while that
// member runs, so a copy started after Tavrel was killed still finds the
// job. The handle is never used there and goes with the process.
void KeepNameWith(HANDLE job, HANDLE member) {
  HANDLE inMember = nullptr;
  // Without it only a kill of Tavrel loses something on Windows: the next
  // copy then waits for the started process alone, as for a program
  // outside a job.
  (void)DuplicateHandle(GetCurrentProcess(), job, member, &inMember, JOB_OBJECT_QUERY, FALSE, 0);
}

// The ids of the job's processes; nothing when the job cannot be asked.
std::optional<std::vector<ULONG_PTR>> MemberIds(HANDLE job) {
  DWORD room = 16;
  for (;;) {
    // The record ends in an array of ids: room for `room` of them.
    std::vector<ULONG_PTR> buffer(2 + room);
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR));
    if (QueryInformationJobObject(job, JobObjectBasicProcessIdList, list, size, nullptr)) {
      return std::vector<ULONG_PTR>(list->ProcessIdList, list->ProcessIdList + list->NumberOfProcessIdsInList);
    }
    if (GetLastError() != ERROR_MORE_DATA || list->NumberOfAssignedProcesses <= room) return std::nullopt;
    room = list->NumberOfAssignedProcesses + 16;  // more may have joined meanwhile
  }
}

// A process of the job that has not ended, opened to wait on; null when none
// is left. Its id is checked against the job: an id that has been handed on
// since the list was read names another process.
UniqueWin32Handle RunningMember(HANDLE job, const std::vector<ULONG_PTR>& ids) {
  for (const ULONG_PTR id : ids) {
    // IsProcessInJob takes the limited query right on Windows; Wine 8 wants
    // the full one. An elevated member refuses both that and
    // PROCESS_DUP_HANDLE: then only what waiting and Windows need.
    UniqueWin32Handle member(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_DUP_HANDLE, FALSE,
                                         static_cast<DWORD>(id)));
    if (!member) {
      member.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id)));
    }
    BOOL inJob = FALSE;
    if (member && WaitForSingleObject(member.get(), 0) == WAIT_TIMEOUT &&
        IsProcessInJob(member.get(), job, &inJob) && inJob) {
      KeepNameWith(job, member.get());
      return member;
    }
  }
  return nullptr;
}

// A new job named after the process, with the process in it; null where the
// process cannot join one.
UniqueWin32Handle JobFor(const ProcessIdentity& identity, HANDLE process) {
  UniqueWin32Handle job(CreateJobObjectW(nullptr, JobName(identity).c_str()));
  // A job of that name before this start is someone else's: never joined.
  if (!job || GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
  // A program that starts a child outside any job (CREATE_BREAKAWAY_FROM_JOB)
  // must still be able to: that child is not waited for. No
  // KILL_ON_JOB_CLOSE: the program outlives Tavrel.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !AssignProcessToJobObject(job.get(), process)) {
    return nullptr;
  }
  KeepNameWith(job.get(), process);
  return job;
}

}  // namespace

std::optional<ProcessIdentity> IdentityOf(HANDLE process) {
  FILETIME creation{}, exit{}, kernel{}, user{};
  const DWORD id = GetProcessId(process);
  if (id == 0 || !GetProcessTimes(process, &creation, &exit, &kernel, &user)) return std::nullopt;
  return ProcessIdentity{id, (static_cast<std::uint64_t>(creation.dwHighDateTime) << 32) |
                                 creation.dwLowDateTime};
}

// No thread and no completion port: the job holds every process the program
// started, and one that has not ended is enough to wait on. The job is
// empty only once each of them has ended, so no child is missed.
bool Win32Launch::Ended() {
  if (!job_) return true;
  const std::optional<std::vector<ULONG_PTR>> ids = MemberIds(job_.get());
  // A job that cannot be asked: its program is taken as ended, as a program
  // waited for alone is at its process's end.
  if (!ids) return true;
  UniqueWin32Handle member = RunningMember(job_.get(), *ids);
  if (!member) return true;
  member_ = std::move(member);
  return false;
}

RunningProgram HoldLaunch(UniqueWin32Handle process) {
  const std::optional<ProcessIdentity> identity = IdentityOf(process.get());
  UniqueWin32Handle job = identity ? JobFor(*identity, process.get()) : nullptr;
  return std::make_unique<Win32Launch>(std::move(job), std::move(process), identity);
}

RunningProgram FindLaunch(const ProcessIdentity& identity) {
  UniqueWin32Handle job(OpenJobObjectW(JOB_OBJECT_QUERY, FALSE, JobName(identity).c_str()));
  if (!job) return nullptr;
  auto launch = std::make_unique<Win32Launch>(std::move(job), nullptr, identity);
  if (launch->Ended()) return nullptr;
  return launch;
}

}  // namespace tavrel
