// A second start of Tavrel: its files go to the copy that runs, which takes
// them as drops when idle, starts the program at once beside one with the
// same font, and asks before queuing one with another font.
#include <gtest/gtest.h>

#include "hand_over/hand_over.h"
#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kOther[] = "D:\\Games\\other.exe";
constexpr char kOtherFont[] = "D:\\Games\\other.tte";

TEST(HandOverBytes, ReadBackExactlyAndRefuseAnythingElse) {
  const HandOver given{true, true, ShowState::Maximized, "D:\\도구\\a b.exe", "", "-x \"y z\""};
  const std::vector<std::uint8_t> bytes = SerializeHandOver(given);
  EXPECT_EQ(ParseHandOver(bytes), given);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_EQ(ParseHandOver({bytes.data(), size}), std::nullopt) << size;
  }
  std::vector<std::uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_EQ(ParseHandOver(longer), std::nullopt);
  std::vector<std::uint8_t> badShow = bytes;
  badShow[8] = 3;
  EXPECT_EQ(ParseHandOver(badShow), std::nullopt);
}

struct SecondRow {
  const char* name;
  bool hasFiles;
  IDesktop::HandOverResult result;
  bool goesOn;         // this copy opens its window
  bool toldRunning;    // "already running"
};

class SecondStart : public ::testing::TestWithParam<SecondRow> {};

TEST_P(SecondStart, HandsItsFilesOverOrWaitsForALogonRestore) {
  const SecondRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.desktop.lockFree = false;
  rig.desktop.handOverResult = row.result;
  rig.files.Add(kOther);
  rig.files.AddFont(kOtherFont);
  CommandLine given;
  if (row.hasFiles) given = CommandLine{true, false, false, kOther, kOtherFont, "-x", {}};
  rig.Start(given);
  EXPECT_EQ(rig.view.screen.visible, row.goesOn);
  EXPECT_EQ(rig.desktop.handedOver.size(), row.hasFiles ? 1u : 0u);
  if (row.hasFiles) {
    EXPECT_EQ(rig.desktop.handedOver[0], (HandOver{true, false, ShowState::Normal, kOther, kOtherFont, "-x"}));
  }
  EXPECT_EQ(!rig.view.shown.empty(), row.toldRunning);
}

INSTANTIATE_TEST_SUITE_P(
    , SecondStart,
    ::testing::Values(SecondRow{"WithoutFiles", false, IDesktop::HandOverResult::Delivered, false, true},
                      SecondRow{"Delivered", true, IDesktop::HandOverResult::Delivered, false, false},
                      SecondRow{"AfterALogonRestore", true, IDesktop::HandOverResult::LockTaken, true, false},
                      SecondRow{"Refused", true, IDesktop::HandOverResult::Refused, false, true}),
    [](const auto& row) { return std::string(row.param.name); });

class RunningCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer(rig);
    rig.files.Add(kOther);
    rig.files.AddFont(kOtherFont);
    rig.Start();
  }
  RunRig rig;
};

TEST_F(RunningCopy, IdleTakesTheFilesComesForwardAndLaunchesWithRun) {
  rig.run->HandOverReceived(HandOver{false, false, ShowState::Normal, kOther, kOtherFont, ""});
  EXPECT_EQ(rig.view.screen.programCaption, kOther);
  EXPECT_EQ(rig.view.screen.fontCaption, kOtherFont);
  EXPECT_EQ(rig.view.broughtToFront, 1u);
  EXPECT_EQ(rig.launcher.StartCount(), 0u);
  rig.run->HandOverReceived(HandOver{true, true, ShowState::Minimized, kOther, "", "-x"});
  ASSERT_EQ(rig.launcher.requests.size(), 1u);
  EXPECT_EQ(rig.launcher.requests[0].arguments, u"-x");
  EXPECT_EQ(rig.launcher.requests[0].show, ShowState::Minimized);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), Utf8ToUtf16(kOtherFont));
  EXPECT_TRUE(rig.view.screen.exitWhenDone);
}

TEST_F(RunningCopy, WaitingWithTheSameFontStartsTheNewProgramAtOnceAndWaitsForBoth) {
  rig.run->LaunchClicked();
  rig.run->HandOverReceived(HandOver{true, false, ShowState::Normal, kOther, Utf16ToUtf8(kFont), ""});
  ASSERT_EQ(rig.launcher.StartCount(), 2u);
  EXPECT_EQ(Journalled(rig)->programs.size(), 2u);
  rig.EndProgram(0);
  EXPECT_EQ(rig.run->state(), RunState::Waiting);
  rig.EndProgram(1);
  EXPECT_EQ(rig.key.values, ViewerKey());
  EXPECT_TRUE(rig.view.shown.empty());
}

struct QueueRow {
  const char* name;
  bool yes;
};

class WaitingWithAnotherFont : public RunningCopy, public ::testing::WithParamInterface<QueueRow> {};

TEST_P(WaitingWithAnotherFont, AsksAndStartsTheNewProgramAfterTheFirstOnlyOnYes) {
  rig.view.answers = {GetParam().yes};
  rig.run->LaunchClicked();
  rig.run->HandOverReceived(HandOver{true, true, ShowState::Normal, kOther, kOtherFont, ""});
  ASSERT_EQ(rig.view.shown.size(), 1u);
  const std::string question = rig.BoxTexts()[0];
  for (const std::string& named : {std::string(kProgram), Utf16ToUtf8(kFont), std::string(kOther), std::string(kOtherFont)}) {
    EXPECT_NE(question.find(named), std::string::npos) << named;
  }
  EXPECT_EQ(rig.launcher.StartCount(), 1u);
  rig.EndProgram(0);
  EXPECT_EQ(rig.launcher.StartCount(), GetParam().yes ? 2u : 1u);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), GetParam().yes ? Utf8ToUtf16(kOtherFont) : u"C:\\WINDOWS\\EUDC.TTE");
  EXPECT_FALSE(rig.run->Finished());  // /exit of the queued start ends Tavrel only after its own program
}

INSTANTIATE_TEST_SUITE_P(, WaitingWithAnotherFont, ::testing::Values(QueueRow{"Yes", true}, QueueRow{"No", false}),
                         [](const auto& row) { return std::string(row.param.name); });

// A logon's restore gives the lock back before its report, so that a start
// waiting for it goes on while the report is shown.
TEST(LogonRestoreReport, ComesAfterTheLockIsGivenBack) {
  RunRig rig;
  Viewer(rig);
  rig.Start();
  rig.run->LaunchClicked();
  rig.launcher.End(rig.launcher.Started(0));
  rig.run = rig.MakeRun();
  rig.desktop.guardSteps.clear();
  rig.run->RestoreAtLogon();
  EXPECT_TRUE(rig.run->Finished());
  EXPECT_EQ(rig.desktop.guardSteps, (std::vector<std::string>{"lock", "announce", "release"}));
  EXPECT_EQ(rig.view.shown.size(), 1u);
}

}  // namespace
}  // namespace tavrel::fakes
