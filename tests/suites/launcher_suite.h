// The launcher's contract, run against the fake and against real processes.
// The backend adapter gives `seam()` and:
//   Program()          the full path of a program that runs until it is ended;
//   Launcher()         one that starts Program() as its child and ends;
//   ChildOf(identity)  once that launcher has ended, its child's identity;
//   MissingProgram()   the full path of a program that does not exist;
//   End(identity)      ends that process, returning once it has ended;
//   Signalled(handle)  whether an end signal is set (a real backend allows its
//                      thread a moment).
#pragma once

#include <gtest/gtest.h>

#include "launch/launcher.h"

namespace tavrel::testing {

template <typename Backend>
class LauncherContract : public ::testing::Test {
 protected:
  ILauncher& launcher() { return backend_.seam(); }
  Backend backend_;
};

TYPED_TEST_SUITE_P(LauncherContract);

TYPED_TEST_P(LauncherContract, AStartedProgramIsFoundByItsOwnIdentityWhileItRuns) {
  const StartOutcome started = this->launcher().Start(StartRequest{this->backend_.Program(), {}, {}, ShowState::Normal, nullptr});
  ASSERT_EQ(started.result, StartOutcome::Result::Started) << started.error;
  ASSERT_TRUE(started.program);
  EXPECT_EQ(started.error, kSuccess);
  const std::optional<ProcessIdentity> identity = started.program->Identity();
  ASSERT_TRUE(identity);
  EXPECT_NE(identity->processId, 0u);
  EXPECT_NE(identity->creationTime, 0u);
  EXPECT_FALSE(this->backend_.Signalled(started.program->EndSignal()));

  const RunningProgram found = this->launcher().FindRunning(*identity);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->Identity(), identity);
  EXPECT_FALSE(this->backend_.Signalled(found->EndSignal()));
  // An id is handed on once its process has ended: the creation time tells
  // a later process from the one recorded.
  const ProcessIdentity others[] = {{identity->processId, identity->creationTime + 1},
                                    {identity->processId, identity->creationTime - 10'000'000},
                                    {identity->processId, 0},
                                    {0, identity->creationTime}};
  for (const ProcessIdentity& other : others) {
    EXPECT_EQ(this->launcher().FindRunning(other), nullptr)
        << other.processId << " " << other.creationTime;
  }

  this->backend_.End(*identity);
  EXPECT_TRUE(this->backend_.Signalled(started.program->EndSignal()));
  EXPECT_TRUE(this->backend_.Signalled(found->EndSignal()));
  // Wine keeps an ended process openable by its id while a handle holds it,
  // as Windows does: that it has ended is what tells.
  EXPECT_EQ(this->launcher().FindRunning(*identity), nullptr);
}

TYPED_TEST_P(LauncherContract, AMissingProgramFailsWithFileNotFound) {
  const StartOutcome started = this->launcher().Start(StartRequest{this->backend_.MissingProgram(), {}, {}, ShowState::Normal, nullptr});
  EXPECT_EQ(started.result, StartOutcome::Result::Failed);
  EXPECT_EQ(started.program, nullptr);
  EXPECT_EQ(started.error, kFileNotFound);
}

// A launcher's end is not the program's: the wait goes on to its child, and
// a later copy finds the program by the launcher's identity while the child runs.
TYPED_TEST_P(LauncherContract, AProgramEndsWithTheLastProcessItStarted) {
  const StartOutcome started = this->launcher().Start(StartRequest{this->backend_.Launcher(), {}, {}, ShowState::Normal, nullptr});
  ASSERT_EQ(started.result, StartOutcome::Result::Started) << started.error;
  const std::optional<ProcessIdentity> identity = started.program->Identity();
  ASSERT_TRUE(identity);
  const ProcessIdentity child = this->backend_.ChildOf(*identity);
  // The launcher's end may fire the signal, but never ends the program.
  EXPECT_EQ(started.program->Status(), ProgramStatus::Runs);
  EXPECT_FALSE(this->backend_.Signalled(started.program->EndSignal()));
  EXPECT_EQ(started.program->Identity(), identity);

  const RunningProgram found = this->launcher().FindRunning(*identity);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->Identity(), identity);
  EXPECT_FALSE(this->backend_.Signalled(found->EndSignal()));

  this->backend_.End(child);
  for (IRunningProgram* program : {started.program.get(), found.get()}) {
    EXPECT_TRUE(this->backend_.Signalled(program->EndSignal()));
    EXPECT_EQ(program->Status(), ProgramStatus::Ended);
  }
  EXPECT_EQ(this->launcher().FindRunning(*identity), nullptr);
}

REGISTER_TYPED_TEST_SUITE_P(LauncherContract, AStartedProgramIsFoundByItsOwnIdentityWhileItRuns,
                            AMissingProgramFailsWithFileNotFound, AProgramEndsWithTheLastProcessItStarted);

}  // namespace tavrel::testing
