#include "launch/win32/launch_job.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "launch/job_end.h"

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

// The completion keys of the job's messages and of the packet that stops the
// thread serving them.
constexpr ULONG_PTR kJobMessage = 1;
constexpr ULONG_PTR kStopServing = 2;

UniqueWin32Handle NewEvent() {
  return UniqueWin32Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// Windows takes an object's name away with its last handle, even while
// processes still run in the job: a process holds its job by reference, not
// by handle (Wine keeps the name as long as the job lives). A handle in every
// process of the program keeps the name while any of them runs, so a copy
// started after Tavrel was killed still finds the job. The handle is never
// used there and goes with the process. It is inheritable: a child the
// program starts with its handles takes one too, even once no Tavrel runs to
// give it one.
bool KeepNameIn(HANDLE job, HANDLE member) {
  HANDLE inMember = nullptr;
  return DuplicateHandle(GetCurrentProcess(), job, member, &inMember, JOB_OBJECT_QUERY, TRUE, 0);
}

// A process by its id, to wait on, to check it is in a job and to give it a
// handle. IsProcessInJob takes the limited query right on Windows; Wine 8
// wants the full one. An elevated process refuses both that and
// PROCESS_DUP_HANDLE: then only what waiting and Windows need.
UniqueWin32Handle OpenMember(DWORD id) {
  UniqueWin32Handle member(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_DUP_HANDLE, FALSE, id));
  if (!member) member.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  return member;
}

std::optional<IJobMembers::Counts> CountsOf(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
  if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting,
                                 nullptr)) {
    return std::nullopt;
  }
  return IJobMembers::Counts{accounting.ActiveProcesses, accounting.TotalProcesses};
}

// The ids of the job's running processes; nothing when the job cannot be asked.
std::optional<std::vector<std::uint32_t>> MemberIds(HANDLE job) {
  DWORD room = 16;
  for (;;) {
    // The record ends in an array of ids: room for `room` of them.
    std::vector<ULONG_PTR> buffer(2 + room);
    auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(ULONG_PTR));
    if (QueryInformationJobObject(job, JobObjectBasicProcessIdList, list, size, nullptr)) {
      return std::vector<std::uint32_t>(list->ProcessIdList, list->ProcessIdList + list->NumberOfProcessIdsInList);
    }
    if (GetLastError() != ERROR_MORE_DATA || list->NumberOfAssignedProcesses <= room) return std::nullopt;
    room = list->NumberOfAssignedProcesses + 16;  // more may have joined meanwhile
  }
}

JobMessage KindOf(DWORD message) {
  switch (message) {
    case JOB_OBJECT_MSG_NEW_PROCESS: return JobMessage::NewProcess;
    case JOB_OBJECT_MSG_EXIT_PROCESS:
    case JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS: return JobMessage::ProcessExited;
    case JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO: return JobMessage::NoActiveProcess;
    default: return JobMessage::Other;
  }
}

// Without a job: the program is its one process.
class LoneProcess final : public IRunningProgram {
 public:
  LoneProcess(UniqueWin32Handle process, std::optional<ProcessIdentity> identity)
      : process_(std::move(process)), identity_(identity) {}
  WaitHandle EndSignal() const override { return process_.get(); }
  ProgramStatus Status() override {
    switch (WaitForSingleObject(process_.get(), 0)) {
      case WAIT_OBJECT_0: return ProgramStatus::Ended;
      case WAIT_TIMEOUT: return ProgramStatus::Runs;
      default: return ProgramStatus::Unknown;
    }
  }
  std::optional<ProcessIdentity> Identity() const override { return identity_; }

 private:
  UniqueWin32Handle process_;  // with SYNCHRONIZE
  std::optional<ProcessIdentity> identity_;
};

// A program in a job, in one of two ways. Started by this copy, a thread
// serves the job's completion port and sets `decided_`. Found again after a
// kill (or where no port could be had), every running process of the job is
// held, and each is waited on in turn (job_end.cpp says why that misses none).
class JobLaunch final : public IRunningProgram, private IJobMembers {
 public:
  // `port`: the job's, for a thread to serve; null to hold the processes.
  JobLaunch(UniqueWin32Handle job, UniqueWin32Handle port, UniqueWin32Handle process,
            std::optional<ProcessIdentity> identity, UniqueWin32Handle decided)
      : job_(std::move(job)), port_(std::move(port)), process_(std::move(process)), identity_(identity),
        decided_(std::move(decided)) {
    if (port_) thread_.reset(CreateThread(nullptr, 0, &JobLaunch::Serve, this, 0, nullptr));
  }
  ~JobLaunch() override {
    if (!thread_) return;
    // The thread ends at this packet, or has ended already; should the
    // packet not go, closing the port wakes it (ERROR_ABANDONED_WAIT_0).
    if (!PostQueuedCompletionStatus(port_.get(), 0, kStopServing, nullptr)) port_.reset();
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  WaitHandle EndSignal() const override {
    return thread_ || status_.load() != ProgramStatus::Runs ? decided_.get() : waited_;
  }
  ProgramStatus Status() override;
  std::optional<ProcessIdentity> Identity() const override { return identity_; }

 private:
  static DWORD WINAPI Serve(void* self);
  void ServePort(HANDLE port);
  void GiveJobTo(HANDLE member);  // held processes only
  void Decide(ProgramStatus status);

  std::optional<Counts> Count() override { return CountsOf(job_.get()); }
  std::optional<std::vector<std::uint32_t>> Ids() override { return MemberIds(job_.get()); }
  Hold Take(std::uint32_t id) override;
  void ReleaseAll() override { held_.clear(); }

  UniqueWin32Handle job_;
  UniqueWin32Handle port_;
  UniqueWin32Handle process_;  // the process started, when this copy started it
  std::optional<ProcessIdentity> identity_;
  UniqueWin32Handle decided_;  // set once the status is Ended or Unknown
  UniqueWin32Handle thread_;   // serving the port; null: the processes are held
  std::atomic<ProgramStatus> status_{ProgramStatus::Runs};
  std::vector<UniqueWin32Handle> held_;
  std::vector<ProcessIdentity> given_;  // held processes given a handle to the job
  HANDLE waited_ = nullptr;             // the held process waited on now
};

DWORD WINAPI JobLaunch::Serve(void* self) {
  auto* launch = static_cast<JobLaunch*>(self);
  launch->ServePort(launch->port_.get());
  return 0;
}

// No polling: the thread sleeps in the port until the job reports.
void JobLaunch::ServePort(HANDLE port) {
  for (;;) {
    DWORD message = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* detail = nullptr;
    const BOOL got = GetQueuedCompletionStatus(port, &message, &key, &detail, INFINITE);
    if (got && key == kStopServing) return;
    const JobMessage kind = got ? KindOf(message) : JobMessage::PortFailed;
    if (kind == JobMessage::NewProcess) {
      // The detail is the id, checked against the job: it may have been
      // handed on since the process joined. Without the handle only a kill
      // of Tavrel loses something on Windows: the next copy finds the job
      // only while another process of it holds one.
      const UniqueWin32Handle member = OpenMember(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail)));
      BOOL inJob = FALSE;
      if (member && IsProcessInJob(member.get(), job_.get(), &inJob) && inJob) {
        (void)KeepNameIn(job_.get(), member.get());
      }
    }
    std::optional<std::uint32_t> running;
    if (kind == JobMessage::ProcessExited || kind == JobMessage::NoActiveProcess) {
      if (const std::optional<Counts> counts = CountsOf(job_.get())) running = counts->running;
    }
    if (const ProgramStatus status = StatusAfter(kind, running); status != ProgramStatus::Runs) {
      Decide(status);
      return;
    }
  }
}

// Once per process: a process that runs on is held again at each round.
void JobLaunch::GiveJobTo(HANDLE member) {
  const std::optional<ProcessIdentity> identity = IdentityOf(member);
  if (!identity || std::find(given_.begin(), given_.end(), *identity) != given_.end()) return;
  if (KeepNameIn(job_.get(), member)) given_.push_back(*identity);
}

void JobLaunch::Decide(ProgramStatus status) {
  status_.store(status);
  SetEvent(decided_.get());
}

IJobMembers::Hold JobLaunch::Take(std::uint32_t id) {
  UniqueWin32Handle member = OpenMember(id);
  const DWORD error = member ? ERROR_SUCCESS : GetLastError();
  if (!member) return error == ERROR_INVALID_PARAMETER ? Hold::Gone : Hold::Refused;
  BOOL inJob = FALSE;
  if (!IsProcessInJob(member.get(), job_.get(), &inJob)) return Hold::Refused;
  if (!inJob) return Hold::Gone;  // the id names a later process: the listed one has ended
  GiveJobTo(member.get());
  held_.push_back(std::move(member));
  return Hold::Held;
}

ProgramStatus JobLaunch::Status() {
  if (thread_) return status_.load();
  // A round can hold only processes that have ended meanwhile; the next
  // one then finds none running. A few rounds at most.
  constexpr int kRounds = 8;
  for (int round = 0; status_.load() == ProgramStatus::Runs; ++round) {
    const auto running = std::find_if(held_.begin(), held_.end(), [](const UniqueWin32Handle& member) {
      return WaitForSingleObject(member.get(), 0) != WAIT_OBJECT_0;
    });
    if (running != held_.end()) {
      waited_ = running->get();
      return ProgramStatus::Runs;
    }
    switch (round < kRounds ? HoldEveryMember(*this) : HoldResult::Unknown) {
      case HoldResult::Held: break;
      case HoldResult::Ended: Decide(ProgramStatus::Ended); break;
      case HoldResult::Unknown: Decide(ProgramStatus::Unknown); break;
    }
  }
  return status_.load();
}

struct JobAndPort {
  UniqueWin32Handle job;
  UniqueWin32Handle port;  // null where none could be associated
};

// A new job named after the process, with the process in it; no job where
// the process cannot join one.
JobAndPort JobFor(const ProcessIdentity& identity, HANDLE process) {
  UniqueWin32Handle job(CreateJobObjectW(nullptr, JobName(identity).c_str()));
  // A job of that name before this start is someone else's: never joined.
  if (!job || GetLastError() == ERROR_ALREADY_EXISTS) return {};
  // A program that starts a child outside any job (CREATE_BREAKAWAY_FROM_JOB)
  // must still be able to: that child is not waited for. No
  // KILL_ON_JOB_CLOSE: the program outlives Tavrel.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) return {};
  // Before the process joins, so that the port has every message of it.
  UniqueWin32Handle port(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{reinterpret_cast<void*>(kJobMessage), port.get()};
  if (port && !SetInformationJobObject(job.get(), JobObjectAssociateCompletionPortInformation, &association,
                                       sizeof association)) {
    port.reset();
  }
  if (!AssignProcessToJobObject(job.get(), process)) return {};
  return JobAndPort{std::move(job), std::move(port)};
}

// The process alone, while it runs. The id alone says little: Windows gives
// an ended process's id to a new one, and Wine keeps an ended process
// openable by its id for a while.
RunningProgram FindProcess(const ProcessIdentity& identity) {
  // SYNCHRONIZE to wait on it; the limited query right for its identity.
  UniqueWin32Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, identity.processId));
  if (!process || IdentityOf(process.get()) != identity || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) {
    return nullptr;
  }
  return std::make_unique<LoneProcess>(std::move(process), identity);
}

}  // namespace

std::optional<ProcessIdentity> IdentityOf(HANDLE process) {
  FILETIME creation{}, exit{}, kernel{}, user{};
  const DWORD id = GetProcessId(process);
  if (id == 0 || !GetProcessTimes(process, &creation, &exit, &kernel, &user)) return std::nullopt;
  return ProcessIdentity{id, (static_cast<std::uint64_t>(creation.dwHighDateTime) << 32) |
                                 creation.dwLowDateTime};
}

RunningProgram HoldLaunch(UniqueWin32Handle process) {
  const std::optional<ProcessIdentity> identity = IdentityOf(process.get());
  JobAndPort job = identity ? JobFor(*identity, process.get()) : JobAndPort{};
  UniqueWin32Handle decided = job.job ? NewEvent() : nullptr;
  if (!decided) return std::make_unique<LoneProcess>(std::move(process), identity);
  auto launch = std::make_unique<JobLaunch>(std::move(job.job), std::move(job.port), std::move(process), identity,
                                            std::move(decided));
  (void)launch->Status();  // holds the processes where no thread serves the port
  return launch;
}

RunningProgram FindLaunch(const ProcessIdentity& identity) {
  UniqueWin32Handle job(OpenJobObjectW(JOB_OBJECT_QUERY, FALSE, JobName(identity).c_str()));
  // Without an event a job cannot be watched: the process alone then, as
  // where it had no job (its program could not join one, or an older Tavrel
  // started it).
  UniqueWin32Handle decided = job ? NewEvent() : nullptr;
  if (!decided) return FindProcess(identity);
  auto launch = std::make_unique<JobLaunch>(std::move(job), nullptr, nullptr, identity, std::move(decided));
  if (launch->Status() == ProgramStatus::Ended) return nullptr;
  return launch;
}

}  // namespace tavrel
