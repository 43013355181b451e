// The launch button and every way out: the wait, the question while a launch
// is under way, launches inside launches, and the end of the Windows session.
#include <gtest/gtest.h>

#include "unit/viewer_folder.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kQuestion = "登録ソフトが起動中です。\r\n終了してもいいですか？";
constexpr const char* kProgram = "C:\\Apps\\Viewer\\viewer.exe";
constexpr const char* kUserFont = kViewerFont;

class LaunchSequence : public ViewerFolder {
 protected:
  FormRig& rig() { return rig_; }
  // Runs `check` while the launched program runs, as an event of its wait.
  void During(std::function<void()> check) { rig_.processes.Queue(std::move(check)); }
  bool ProgramRunning() const {
    return !rig_.processes.Started().empty() && rig_.processes.Started().back()->running;
  }
};

TEST_F(LaunchSequence, SwitchesRunsWaitsAndSwitchesBack) {
  bool checked = false;
  During([&] {
    EXPECT_EQ(rig().SystemFont(), kUserFont);
    EXPECT_EQ(rig().registry.GetText(kEudc, "ＭＳ 明朝"), "");
    EXPECT_EQ(rig().window.state, WindowState::Minimized);
    EXPECT_FALSE(rig().window.IsEnabled(Control::cmdExecSoft));
    EXPECT_EQ(rig().form.LaunchesUnderWay(), 1);
    checked = true;
  });
  rig().form.cmdExecSoft_Click();
  EXPECT_TRUE(checked);
  ASSERT_EQ(rig().shell.calls.size(), 1u);
  const FakeShell::Call& call = rig().shell.calls[0];
  EXPECT_EQ(call.cbSize, sizeof(ShellExecuteInfoW));
  EXPECT_EQ(call.fMask, kSeeMaskFlagNoUi | kSeeMaskNoCloseProcess);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, kProgram);
  EXPECT_EQ(call.parameters, "");
  EXPECT_FALSE(call.parametersIsNull);
  EXPECT_EQ(call.directory, "");
  EXPECT_FALSE(call.directoryIsNull);
  EXPECT_EQ(call.nShow, 1);
  EXPECT_EQ(call.hwnd, rig().window.Handle());
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_EQ(rig().window.state, WindowState::Normal);
  EXPECT_TRUE(rig().window.IsEnabled(Control::cmdExecSoft));
  EXPECT_FALSE(rig().UserFontActive());
  EXPECT_EQ(rig().processes.OpenHandleCount(), 0u);
  EXPECT_TRUE(rig().window.boxes.empty());
}

TEST_F(LaunchSequence, WithChkExitTickedEndsAfterRestoringWithoutAQuestion) {
  rig().window[Control::chkExit].checked = true;
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_TRUE(rig().window.boxes.empty());
}

// The user font is not left installed for the whole desktop until Tavrel
// closes: it goes back at once, and the user is told why nothing started.
TEST_F(LaunchSequence, ANothingStartedLaunchPutsTheSettingsBackAtOnceAndSaysWhy) {
  rig().shell.failShellExecute = true;
  rig().processes.refuseDirectStart = true;
  rig().form.cmdExecSoft_Click();
  EXPECT_EQ(rig().window.state, WindowState::Normal);
  EXPECT_TRUE(rig().window.IsEnabled(Control::cmdExecSoft));
  EXPECT_FALSE(rig().UserFontActive());
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_FALSE(rig().registry.KeyExists("Software\\Tavrel\\Journal"));
  ASSERT_EQ(rig().window.boxes.size(), 1u);
  EXPECT_EQ(rig().window.boxes[0].text,
            "登録ソフトを起動できませんでした。\r\n" + std::string(kProgram) +
                "\r\n指定されたファイルが見つかりません。（エラー 2）\r\n外字の設定を元に戻しました。");
  EXPECT_EQ(rig().window.boxes[0].caption, "Tavrel");
  EXPECT_EQ(rig().window.boxes[0].style, kMbOk | kMbIconWarning);
  // Idle now: the close asks nothing and restores nothing.
  const size_t calls = rig().registry.CallCount();
  EXPECT_THROW(rig().form.RequestClose(UnloadMode::FormControlMenu), ProcessEnded);
  EXPECT_EQ(rig().window.boxes.size(), 1u);
  EXPECT_EQ(rig().registry.CallCount(), calls);
}

TEST_F(LaunchSequence, ANothingStartedLaunchWithChkExitRestoresOnTheWayOut) {
  rig().window[Control::chkExit].checked = true;
  rig().shell.failShellExecute = true;
  rig().processes.refuseDirectStart = true;
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_EQ(rig().window.boxes.size(), 1u);  // told first, then ended
}

TEST_F(LaunchSequence, ACloseAnsweredNoKeepsWaiting) {
  rig().window.answers = {kIdNo};
  During([&] { rig().form.RequestClose(UnloadMode::FormControlMenu); });
  rig().form.cmdExecSoft_Click();
  ASSERT_EQ(rig().window.boxes.size(), 1u);
  EXPECT_EQ(rig().window.boxes[0].text, kQuestion);
  EXPECT_EQ(rig().window.boxes[0].caption, "Tavrel");
  EXPECT_EQ(rig().window.boxes[0].style, kMbYesNo | kMbIconInformation);
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_EQ(rig().window.state, WindowState::Normal);
}

TEST_F(LaunchSequence, ACloseAnsweredYesRestoresAndEndsWhileTheProgramRuns) {
  rig().window.answers = {kIdYes};
  During([&] { rig().form.cmdEnd_Click(); });
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_TRUE(ProgramRunning());
  // The abandoned launch never came back: the window is still minimised.
  EXPECT_EQ(rig().window.state, WindowState::Minimized);
  EXPECT_FALSE(rig().window.IsEnabled(Control::cmdExecSoft));
}

TEST_F(LaunchSequence, TheEndOfTheSessionRestoresWithoutAQuestion) {
  During([&] { rig().form.RequestClose(UnloadMode::AppWindows); });
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_TRUE(rig().window.boxes.empty());
  EXPECT_EQ(rig().Key(), before_);
}

TEST_F(LaunchSequence, TheEndOfTheSessionWhileTheQuestionIsShownStillRestores) {
  rig().window.answers = {kIdNo};
  rig().window.whileBoxIsShown = [&] { rig().form.RequestClose(UnloadMode::AppWindows); };
  During([&] { rig().form.RequestClose(UnloadMode::FormControlMenu); });
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_EQ(rig().Key(), before_);
}

TEST_F(LaunchSequence, ALaunchInsideAnothersWaitLeavesTheFontToTheOuterOne) {
  rig().files.AddFont("D:\\Other\\second.tte");
  During([&] {
    // A drop during the wait registers another font; the button is enabled
    // again and clicked.
    rig().form.Label1_OLEDragDrop(1, DropData{1, "D:\\Other\\second.tte"});
    EXPECT_TRUE(rig().window.IsEnabled(Control::cmdExecSoft));
    rig().form.cmdExecSoft_Click();
    // The inner program has ended; the outer one still runs with a user font.
    EXPECT_TRUE(rig().UserFontActive());
    EXPECT_EQ(rig().SystemFont(), "D:\\Other\\second.tte");
    EXPECT_EQ(rig().form.LaunchesUnderWay(), 1);
  });
  rig().form.cmdExecSoft_Click();
  EXPECT_EQ(rig().processes.Started().size(), 2u);
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_FALSE(rig().UserFontActive());
}

TEST_F(LaunchSequence, AQuestionIsAskedWhileAnOuterLaunchStillWaits) {
  rig().window[Control::chkExit].checked = true;
  rig().window.answers = {kIdNo};
  During([&] { rig().form.cmdExecSoft_Click(); });
  // The inner launch ends, chkExit asks to close; the outer is still under
  // way, so the question decides: No. The outer launch then ends and closes.
  EXPECT_THROW(rig().form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_EQ(rig().window.boxes.size(), 1u);
  EXPECT_EQ(rig().Key(), before_);
}

TEST_F(LaunchSequence, AFailedWaitEndsTheWaitAndNeverRestoresUnderTheProgram) {
  rig().processes.waitsFail = true;
  rig().form.cmdExecSoft_Click();
  EXPECT_EQ(rig().processes.WaitCount(), 1u);  // no busy loop
  EXPECT_TRUE(ProgramRunning());
  EXPECT_TRUE(rig().UserFontActive());
  EXPECT_EQ(rig().SystemFont(), kUserFont);
  EXPECT_EQ(rig().window.state, WindowState::Normal);
}

TEST_F(LaunchSequence, AProgramEndingWithTheStillActiveCodeIsSeenToEnd) {
  rig().processes.exitCodeOfEndingPrograms = 259;
  rig().form.cmdExecSoft_Click();
  EXPECT_EQ(rig().Key(), before_);
  EXPECT_FALSE(ProgramRunning());
}

TEST(Close, WhileIdleAsksNothingAndRestoresOnlyAnActiveUserFont) {
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"viewer.exe"});
  rig.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  rig.Start();
  const size_t calls = rig.registry.CallCount();
  EXPECT_THROW(rig.form.cmdEnd_Click(), ProcessEnded);
  EXPECT_TRUE(rig.window.boxes.empty());
  EXPECT_EQ(rig.registry.CallCount(), calls);
  EXPECT_TRUE(rig.session.eudcReloads.empty());
}

}  // namespace
}  // namespace tavrel::fakes
