// When a program held in a job has ended: after each of the port's messages,
// and for a copy that holds the job's processes itself, round by round.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "launch/job_end.h"

namespace tavrel {
namespace {

struct MessageRow {
  const char* name;
  JobMessage message;
  std::optional<std::uint32_t> running;
  ProgramStatus status;
};

class AfterAMessage : public ::testing::TestWithParam<MessageRow> {};

TEST_P(AfterAMessage, TheCountDecidesAndAFailureIsNoEnd) {
  EXPECT_EQ(StatusAfter(GetParam().message, GetParam().running), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    , AfterAMessage,
    ::testing::Values(
        MessageRow{"AnExitWithOthersRunning", JobMessage::ProcessExited, 2u, ProgramStatus::Runs},
        MessageRow{"TheLastExitWhoseLastMessageWasLost", JobMessage::ProcessExited, 0u, ProgramStatus::Ended},
        MessageRow{"AnExitWhoseCountFailed", JobMessage::ProcessExited, std::nullopt, ProgramStatus::Runs},
        MessageRow{"TheLastMessage", JobMessage::NoActiveProcess, 0u, ProgramStatus::Ended},
        MessageRow{"TheLastMessageWhoseCountFailed", JobMessage::NoActiveProcess, std::nullopt,
                   ProgramStatus::Unknown},
        MessageRow{"TheLastMessageWithAProcessBackInTheJob", JobMessage::NoActiveProcess, 1u, ProgramStatus::Runs},
        MessageRow{"ThePortFailed", JobMessage::PortFailed, std::nullopt, ProgramStatus::Unknown}),
    [](const auto& row) { return std::string(row.param.name); });

using Counts = IJobMembers::Counts;
using Hold = IJobMembers::Hold;

// A job as a script: its counts and lists in the order they are read (the
// last repeats), and how each process is taken (absent: Gone).
struct JobRow {
  const char* name;
  std::vector<std::optional<Counts>> counts;
  std::vector<std::optional<std::vector<std::uint32_t>>> lists;
  std::map<std::uint32_t, Hold> takes;
  HoldResult result;
  std::vector<std::uint32_t> held;
  bool joinsWithoutPause = false;  // every count has one more process joined
};

class ScriptedJob final : public IJobMembers {
 public:
  explicit ScriptedJob(const JobRow& row) : row_(row) {}
  std::optional<Counts> Count() override {
    if (row_.joinsWithoutPause) return Counts{1, ++joined_};
    return Next(row_.counts, counts_);
  }
  std::optional<std::vector<std::uint32_t>> Ids() override { return Next(row_.lists, lists_); }
  Hold Take(std::uint32_t id) override {
    const auto take = row_.takes.find(id);
    const Hold hold = take == row_.takes.end() ? Hold::Gone : take->second;
    if (hold == Hold::Held) held.push_back(id);
    return hold;
  }
  void ReleaseAll() override { held.clear(); }
  std::vector<std::uint32_t> held;

 private:
  template <typename T>
  static T Next(const std::vector<T>& script, std::size_t& read) {
    return script.at(std::min(read++, script.size() - 1));
  }
  const JobRow& row_;
  std::size_t counts_ = 0, lists_ = 0;
  std::uint32_t joined_ = 0;
};

class HoldingAJob : public ::testing::TestWithParam<JobRow> {};

TEST_P(HoldingAJob, HoldsEveryRunningProcessOrSaysWhyNot) {
  ScriptedJob job(GetParam());
  EXPECT_EQ(HoldEveryMember(job), GetParam().result);
  EXPECT_EQ(job.held, GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    , HoldingAJob,
    ::testing::Values(
        JobRow{"NoProcessRuns", {Counts{0, 3}}, {}, {}, HoldResult::Ended, {}},
        JobRow{"EveryListedProcessIsHeld", {Counts{2, 3}}, {std::vector<std::uint32_t>{7, 8}},
               {{7, Hold::Held}, {8, Hold::Held}}, HoldResult::Held, {7, 8}},
        JobRow{"AListedProcessThatEndedStartedNothing", {Counts{2, 3}, Counts{1, 3}},
               {std::vector<std::uint32_t>{7, 8}}, {{8, Hold::Held}}, HoldResult::Held, {8}},
        // Process 7 starts 9 and ends between the list and its opening: the
        // count of processes that joined grew, and the next round holds 9.
        JobRow{"AListedProcessStartsAChildAndEndsBeforeItIsOpened",
               {Counts{1, 1}, Counts{1, 2}},
               {std::vector<std::uint32_t>{7}, std::vector<std::uint32_t>{9}},
               {{9, Hold::Held}}, HoldResult::Held, {9}},
        JobRow{"ARunningProcessRefuses", {Counts{1, 1}}, {std::vector<std::uint32_t>{7}}, {{7, Hold::Refused}},
               HoldResult::Unknown, {}},
        JobRow{"TheCountFails", {std::nullopt}, {}, {}, HoldResult::Unknown, {}},
        JobRow{"ProcessesJoinWithoutPause", {}, {std::vector<std::uint32_t>{7}}, {{7, Hold::Held}},
               HoldResult::Unknown, {7}, true}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel
