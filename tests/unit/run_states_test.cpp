// The run's states: what each input does in each, what it shows, and that a
// box is never shown in the middle of a change; what arrives while one is up
// waits for it.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kOther[] = "D:\\Games\\other.exe";
constexpr char kOtherFont[] = "D:\\Games\\other.tte";
const std::string kViewerFont = Utf16ToUtf8(kFont);
constexpr char kQueueQuestion[] = "次のソフトが、別のユーザー外字で実行中です。";
constexpr char kCloseQuestion[] = "登録ソフトが起動中です。";
constexpr char kKeptReport[] = "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。";

HandOver WithRun(const std::string& program, const std::string& font = {}) {
  return HandOver{true, false, ShowState::Normal, program, font, ""};
}
HandOver FilesOnly(const std::string& program, const std::string& font) {
  return HandOver{false, false, ShowState::Normal, program, font, ""};
}

enum class From { Idle, Waiting, WaitingWithExit, Closed };

struct StateRow {
  const char* name;
  From from;
  std::function<void(RunRig&)> input;  // may answer boxes through rig.desktop
  RunState next;
  std::vector<std::string> boxes;  // how each box shown begins
  std::vector<std::string> started;  // every program started, in order
  std::u16string font;               // SystemDefaultEUDCFont afterwards
  bool launchEnabled;
};

class Transitions : public ::testing::TestWithParam<StateRow> {};

TEST_P(Transitions, TakeTheRunToItsNextStateAndShowWhatTheyMust) {
  const StateRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.files.Add(kOther);
  rig.files.AddFont(kOtherFont);
  rig.Start(CommandLine{false, row.from == From::WaitingWithExit, false, {}, {}, {}, {}});
  if (row.from != From::Idle) rig.run->LaunchClicked();
  if (row.from == From::Closed) rig.run->CloseRequested(CloseReason::SessionEnds);
  row.input(rig);

  EXPECT_EQ(rig.run->state(), row.next);
  const std::vector<std::string> texts = rig.BoxTexts();
  ASSERT_EQ(texts.size(), row.boxes.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_TRUE(texts[i].starts_with(row.boxes[i])) << texts[i];
  std::vector<std::string> started;
  for (const StartRequest& request : rig.launcher.requests) started.push_back(Utf16ToUtf8(request.program));
  EXPECT_EQ(started, row.started);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), row.font);
  EXPECT_EQ(rig.view.screen.launchEnabled, row.launchEnabled);
  EXPECT_EQ(rig.view.screen.closed, row.next == RunState::Closed);
}

const std::u16string kOtherFont16 = Utf8ToUtf16(kOtherFont);

INSTANTIATE_TEST_SUITE_P(
    , Transitions,
    ::testing::Values(
        // Idle
        StateRow{"WaitingDropThenClickAsksAndQueues", From::Waiting,
                 [](RunRig& r) {
                   r.run->Dropped(DropBox::Font, kOtherFont);
                   r.run->LaunchClicked();
                   r.EndProgram(0);
                 },
                 RunState::Waiting, {kQueueQuestion}, {kProgram, kProgram}, kOtherFont16, false},
        StateRow{"WaitingLaunchKeepsAFontSomeoneElseSet", From::Waiting,
                 [](RunRig& r) {
                   r.key.SetText(kSystemDefaultEudcFont, u"D:\\hand.tte");
                   r.run->LaunchClicked();
                 },
                 RunState::Waiting, {kKeptReport}, {kProgram, kProgram}, u"D:\\hand.tte", false},
        StateRow{"TwoQueuedStartsRunOneAfterTheOther", From::Waiting,
                 [](RunRig& r) {
                   r.run->HandOverReceived(WithRun(kOther, kOtherFont));
                   r.run->HandOverReceived(WithRun(kProgram, kOtherFont));
                   r.EndProgram(0);
                   r.EndProgram(1);
                 },
                 RunState::Waiting, {kQueueQuestion, kQueueQuestion}, {kProgram, kOther, kProgram}, kOtherFont16,
                 false},
        // /exit: only once nothing runs and nothing is queued
        StateRow{"ExitWaitsForTheLastProgram", From::WaitingWithExit,
                 [](RunRig& r) {
                   r.run->LaunchClicked();
                   r.EndProgram(0);
                 },
                 RunState::Waiting, {}, {kProgram, kProgram}, kFont, false},
        StateRow{"ExitWaitsForTheQueue", From::WaitingWithExit,
                 [](RunRig& r) {
                   r.run->HandOverReceived(WithRun(kOther, kOtherFont));
                   r.EndProgram(0);
                 },
                 RunState::Waiting, {kQueueQuestion}, {kProgram, kOther}, kOtherFont16, false}),
    [](const auto& row) { return std::string(row.param.name); });

// Input a box's own message loop delivers waits for the box; the session's
// end alone is handled at once.
class WhileABoxIsUp : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer(rig);
    rig.files.Add(kOther);
    rig.files.AddFont(kOtherFont);
  }
  // The first box shown runs `input` while it is up.
  void DuringTheFirstBox(std::function<void()> input) {
    rig.view.whileShown = [input, first = true](const Box&) mutable {
      if (std::exchange(first, false)) input();
    };
  }
  RunRig rig;
};

// A hand-over during the report at a run's end starts its program once the
// report is closed; /exit then waits for it, and nothing asks to close.
TEST_F(WhileABoxIsUp, AHandOverDuringTheEndOfRunReportStartsAfterIt) {
  rig.Start(CommandLine{false, true, false, {}, {}, {}, {}});
  rig.run->LaunchClicked();
  rig.key.SetText(kFace, u"D:\\someone.tte");  // changed meanwhile: reported at the end
  DuringTheFirstBox([&] {
    rig.run->HandOverReceived(WithRun(kOther, kViewerFont));
    EXPECT_EQ(rig.launcher.StartCount(), 1u);
  });
  rig.EndProgram(0);
  EXPECT_EQ(rig.BoxTexts().size(), 1u);
  EXPECT_EQ(rig.BoxTexts()[0].substr(0, std::string(kKeptReport).size()), kKeptReport);
  EXPECT_EQ(rig.launcher.StartCount(), 2u);
  EXPECT_EQ(rig.run->state(), RunState::Waiting);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
}

// A copy still opening: its own /run first, then the hand-over that came
// while its recovery report was up.
TEST_F(WhileABoxIsUp, AHandOverWhileOpeningComesAfterTheOwnRun) {
  rig.Start();
  rig.run->LaunchClicked();
  rig.launcher.End(rig.launcher.Started(0));
  rig.key.SetText(kFace, u"D:\\someone.tte");
  DuringTheFirstBox([&] { rig.run->HandOverReceived(WithRun(kOther, kViewerFont)); });
  rig.StartAgain(CommandLine{true, false, false, {}, {}, {}, {}});
  std::vector<std::u16string> started;
  for (const StartRequest& request : rig.launcher.requests) started.push_back(request.program);
  EXPECT_EQ(started, (std::vector<std::u16string>{Utf8ToUtf16(kProgram), Utf8ToUtf16(kProgram), Utf8ToUtf16(kOther)}));
  EXPECT_EQ(rig.run->WaitHandles().size(), 2u);
}

TEST_F(WhileABoxIsUp, TheSessionsEndIsHandledAtOnce) {
  rig.Start();
  rig.run->LaunchClicked();
  DuringTheFirstBox([&] {
    rig.run->CloseRequested(CloseReason::SessionEnds);
    EXPECT_EQ(rig.key.values, ViewerKey());
    EXPECT_TRUE(rig.run->Finished());
  });
  rig.run->HandOverReceived(WithRun(kOther, kOtherFont));  // asks to queue
  EXPECT_EQ(rig.launcher.StartCount(), 1u);
  EXPECT_FALSE(rig.run->TakesHandOvers());
}

// A hand-over is checked by the command line's rules on arrival: anything
// else is dropped without a word.
TEST(HandOverOnArrival, DropsWhatNoStartOfTavrelSends) {
  const std::string kLongPath = kOther + std::string(40000, 'x');
  const HandOver rows[] = {
      WithRun("other.exe"),                      // relative
      WithRun("D:\\Games\\gone.exe"),            // no such file
      WithRun(kOtherFont),                       // a font as the program
      WithRun(kOther, "D:\\Games\\text.tte"),    // no font
      WithRun(kOther, kOther),                   // a program as the font
      WithRun(kLongPath),                       // longer than any command line
      HandOver{true, false, ShowState::Normal, kOther, "", std::string(40000, 'a')},
      FilesOnly("", ""),
  };
  for (const HandOver& handOver : rows) {
    RunRig rig;
    Viewer(rig);
    rig.files.Add(kOther);
    rig.files.Add("D:\\Games\\text.tte", {'t', 'e', 'x', 't'});
    rig.files.Add(kLongPath);  // there: its length alone turns it away
    rig.files.AddFont(kOtherFont);
    rig.Start();
    const Screen before = rig.view.screen;
    rig.run->HandOverReceived(handOver);
    EXPECT_EQ(rig.view.screen, before) << handOver.program << " " << handOver.font;
    EXPECT_EQ(rig.launcher.StartCount(), 0u);
    EXPECT_TRUE(rig.view.shown.empty());
  }
}

}  // namespace
}  // namespace tavrel::fakes
