// The runner's contract: each effect's result goes back to the machine before
// any input that came while the effect ran its own message loop (the shell's
// prompt), and the session's end is acted on at once even there.
#include <gtest/gtest.h>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kOtherFont[] = "D:\\Games\\other.tte";

class DuringTheShellsStart : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer(rig);
    rig.files.AddFont(kOtherFont);
    rig.Start();
  }
  RunRig rig;
};

TEST_F(DuringTheShellsStart, InputWaitsForTheStartsResult) {
  rig.view.answers = {false};
  rig.launcher.whileStarting = [&] {
    rig.run->Dropped(DropBox::Font, kOtherFont);
    rig.run->CloseRequested(CloseReason::User);
    EXPECT_TRUE(rig.view.shown.empty());
  };
  rig.run->LaunchClicked();
  EXPECT_EQ(rig.run->state(), RunState::Waiting);
  EXPECT_EQ(rig.run->WaitHandles().size(), 1u);
  EXPECT_EQ(rig.view.screen.fontCaption, kOtherFont);
  ASSERT_EQ(rig.BoxTexts().size(), 1u);  // the close question, once the start is known
  EXPECT_TRUE(rig.BoxTexts()[0].starts_with("登録ソフトが起動中です。"));
}

TEST_F(DuringTheShellsStart, TheSessionsEndPutsTheSettingsBackAtOnce) {
  rig.launcher.whileStarting = [&] {
    rig.run->CloseRequested(CloseReason::SessionEnds);
    EXPECT_EQ(rig.key.values, ViewerKey());
  };
  rig.run->LaunchClicked();
  EXPECT_TRUE(rig.run->Finished());
  EXPECT_TRUE(rig.run->WaitHandles().empty());
  EXPECT_TRUE(rig.view.shown.empty());
  EXPECT_FALSE(rig.store.record);
}

}  // namespace
}  // namespace tavrel::fakes
