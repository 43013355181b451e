// What a later start, or the logon's "tavrel.exe /restore", does with the
// journal of a Tavrel that was killed during its wait: take over the wait of
// a program that still runs, put everything back at once otherwise, ask when
// the font was changed since, and never act on a journal it cannot read.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "unit/viewer_folder.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kUserFont = kViewerFont;
constexpr const char* kRestored =
    "前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。\r\n"
    "SystemDefaultEUDCFont = C:\\WINDOWS\\EUDC.TTE\r\nＭＳ 明朝 = C:\\m.tte";

// Tavrel's end from outside (Task Manager, a crash): nothing of it runs on.
struct Killed {};

class Recovery : public ViewerFolder {
 protected:
  void KillDuringTheWait() {
    rig_.processes.Queue([] { throw Killed{}; });
    EXPECT_THROW(rig_.form.cmdExecSoft_Click(), Killed);
    ASSERT_EQ(rig_.SystemFont(), kUserFont);
    ASSERT_TRUE(rig_.JournalThere());
    rig_.window.boxes.clear();
  }
  FakeProcesses::Process& Program() { return *rig_.processes.Started().back(); }
  // Nothing of the journal is left, and the key is as before the launch.
  void ExpectAllBack() {
    EXPECT_EQ(rig_.Key(), before_);
    EXPECT_FALSE(rig_.JournalThere());
    EXPECT_EQ(rig_.RunOnce(), std::nullopt);
  }
};

TEST_F(Recovery, TakesOverTheWaitOfAProgramThatStillRuns) {
  KillDuringTheWait();
  NextStart next(rig_);
  bool checked = false;
  rig_.processes.Queue([&] {
    EXPECT_EQ(next.window.state, WindowState::Minimized);
    EXPECT_FALSE(next.window.IsEnabled(Control::cmdExecSoft));
    EXPECT_TRUE(next.window.IsEnabled(Control::Command1_1));
    EXPECT_EQ(rig_.SystemFont(), kUserFont);
    EXPECT_TRUE(Program().running);
    EXPECT_EQ(next.form.LaunchesUnderWay(), 1);
    checked = true;
  });
  next.Start();
  EXPECT_TRUE(checked);
  EXPECT_FALSE(Program().running);
  ExpectAllBack();
  EXPECT_EQ(next.window.state, WindowState::Normal);
  EXPECT_TRUE(next.window.IsEnabled(Control::cmdExecSoft));
  EXPECT_FALSE(next.window.IsEnabled(Control::Command1_1));
  EXPECT_TRUE(rig_.session.boxes.empty());
  EXPECT_TRUE(next.window.boxes.empty());
  EXPECT_EQ(rig_.processes.OpenHandleCount(), 0u);
}

TEST_F(Recovery, AConfirmedCloseDuringATakenOverWaitPutsTheSettingsBack) {
  KillDuringTheWait();
  NextStart next(rig_);
  next.window.answers = {kIdYes};
  rig_.processes.Queue([&] { next.form.cmdEnd_Click(); });
  EXPECT_THROW(next.Start(), ProcessEnded);
  ExpectAllBack();
  EXPECT_TRUE(Program().running);
}

TEST_F(Recovery, PutsEverythingBackAtOnceWhenTheProgramHasEnded) {
  KillDuringTheWait();
  Program().running = false;
  NextStart next(rig_);
  next.Start();
  ExpectAllBack();
  // One box before the window shows, saying what came back.
  ASSERT_EQ(rig_.session.boxes.size(), 1u);
  EXPECT_EQ(rig_.session.boxes[0].owner, nullptr);
  EXPECT_EQ(rig_.session.boxes[0].text, kRestored);
  EXPECT_EQ(rig_.session.boxes[0].caption, "Tavrel");
  EXPECT_EQ(rig_.session.boxes[0].style, kMbOk | kMbIconInformation);
  EXPECT_TRUE(next.window.shown);
  EXPECT_EQ(next.window.state, WindowState::Normal);
  EXPECT_FALSE(next.window.IsEnabled(Control::Command1_1));
}

// Windows hands an ended program's id to later processes: the creation time
// tells them apart, and the stranger is not waited for.
TEST_F(Recovery, AnIdHandedToAnotherProcessIsNotWaitedFor) {
  KillDuringTheWait();
  const ProcessIdentity program = Program().Identity();
  Program().running = false;
  const auto stranger = rig_.processes.AddRunning(program.processId, program.creationTime + 1);
  NextStart next(rig_);
  next.Start();
  ExpectAllBack();
  EXPECT_TRUE(stranger->running);
  EXPECT_EQ(rig_.session.boxes.size(), 1u);
}

struct ChangedSinceCase {
  const char* name;
  int answer;
  bool restored;
};

class RecoveryOfAChangedFont : public Recovery,
                               public ::testing::WithParamInterface<ChangedSinceCase> {};

TEST_P(RecoveryOfAChangedFont, AsksBeforeOverwritingIt) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\Someone\\else.tte");
  rig_.session.answers = {GetParam().answer};
  NextStart next(rig_);
  next.Start();
  ASSERT_FALSE(rig_.session.boxes.empty());
  EXPECT_EQ(rig_.session.boxes[0].text,
            "前回の Tavrel が外字の設定を元に戻さずに終了していました。\r\n"
            "その後、SystemDefaultEUDCFont が変更されています。\r\n"
            "現在の設定: C:\\Someone\\else.tte\r\n"
            "Tavrel が設定したファイル: C:\\Apps\\Viewer\\mine.tte\r\n"
            "Tavrel が変更する前の設定に戻しますか？\r\n"
            "（[いいえ] を選ぶと、現在の設定のままにします。）");
  EXPECT_EQ(rig_.session.boxes[0].style, kMbYesNo | kMbIconQuestion);
  if (GetParam().restored) {
    EXPECT_EQ(rig_.Key(), before_);
    ASSERT_EQ(rig_.session.boxes.size(), 2u);
    EXPECT_EQ(rig_.session.boxes[1].text, kRestored);
  } else {
    EXPECT_EQ(rig_.SystemFont(), "C:\\Someone\\else.tte");
    EXPECT_EQ(rig_.registry.GetText(kEudc, "ＭＳ 明朝"), "");
    EXPECT_EQ(rig_.session.boxes.size(), 1u);
  }
  EXPECT_FALSE(rig_.JournalThere());
  EXPECT_EQ(rig_.RunOnce(), std::nullopt);
  EXPECT_FALSE(next.window.IsEnabled(Control::Command1_1));
}

INSTANTIATE_TEST_SUITE_P(, RecoveryOfAChangedFont,
                         ::testing::Values(ChangedSinceCase{"Yes", kIdYes, true},
                                           ChangedSinceCase{"No", kIdNo, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(Recovery, AMissingFontValueCountsAsChanged) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.RemoveKey(kEudc);
  rig_.session.answers = {kIdYes};
  NextStart next(rig_);
  next.Start();
  ASSERT_EQ(rig_.session.boxes.size(), 2u);
  EXPECT_NE(rig_.session.boxes[0].text.find("現在の設定: （なし）"), std::string::npos);
  ExpectAllBack();
}

// The copy ended while it emptied the values, before it set the font: the
// empty text is its own doing, not a change to ask about.
TEST_F(Recovery, AFontValueLeftEmptyByTheSwitchIsNoChange) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.SetText(kEudc, kSystemFont, "");
  NextStart next(rig_);
  next.Start();
  ExpectAllBack();
  ASSERT_EQ(rig_.session.boxes.size(), 1u);
  EXPECT_EQ(rig_.session.boxes[0].text, kRestored);
}

// The copy ended between its restore and the journal's removal: nothing is
// asked or said, the journal just goes.
TEST_F(Recovery, AKeyThatIsBackAlreadyOnlyLosesTheJournal) {
  KillDuringTheWait();
  Program().running = false;
  for (const auto& v : before_) rig_.registry.SetRaw(kEudc, Utf16ToUtf8(v.name), v.type, v.data);
  NextStart next(rig_);
  next.Start();
  ExpectAllBack();
  EXPECT_TRUE(rig_.session.boxes.empty());
}

TEST_F(Recovery, ARestoreThatFailsKeepsTheJournalAndTriesAgainOnTheWayOut) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.SetReadOnly(kEudc);
  NextStart next(rig_);
  next.Start();
  ASSERT_EQ(rig_.session.boxes.size(), 1u);
  EXPECT_EQ(rig_.session.boxes[0].text, kNeitherValueWritten);
  EXPECT_EQ(rig_.session.boxes[0].style, kMbOk | kMbIconWarning);
  EXPECT_TRUE(rig_.JournalThere());
  EXPECT_EQ(rig_.RunOnce(), "\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore");
  EXPECT_TRUE(next.window.IsEnabled(Control::Command1_1));

  rig_.registry.SetReadOnly(kEudc, false);
  EXPECT_THROW(next.form.cmdEnd_Click(), ProcessEnded);
  ExpectAllBack();
}

TEST(RecoveryOfADamagedJournal, IsReportedKeptAndNeverOverwrittenByALaunch) {
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"mine.tte", "viewer.exe"});
  rig.registry.SetText(kEudc, kSystemFont, "C:\\Old\\user.tte");
  const std::vector<BYTE> damaged = {'T', 'V', 'J', '1', 0x01, 0x02};
  rig.registry.SetRaw(kJournal, "Record", kRegBinary, damaged);
  const auto before = rig.Key();
  rig.Start();
  ASSERT_EQ(rig.session.boxes.size(), 1u);
  EXPECT_EQ(rig.session.boxes[0].text,
            "外字の設定を元に戻すための記録を読み取れませんでした。\r\n"
            "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal\r\n記録が壊れています。\r\n"
            "外字の設定は変更せず、記録もそのまま残してあります。\r\n"
            "不要な記録であれば、このキーを削除してください。");
  EXPECT_TRUE(rig.window.shown);

  rig.form.cmdExecSoft_Click();
  ASSERT_EQ(rig.window.boxes.size(), 1u);
  EXPECT_EQ(rig.window.boxes[0].text,
            "外字の設定を元に戻すための以前の記録が、読み取れないまま残っています。\r\n"
            "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal\r\n"
            "この記録が残っている間は、外字の設定を変更できません。\r\n"
            "外字の設定は変更せず、ソフトも起動しませんでした。");
  EXPECT_EQ(rig.Key(), before);
  EXPECT_TRUE(rig.processes.Started().empty());
  EXPECT_EQ(rig.registry.Get(kJournal, "Record")->data, damaged);
  EXPECT_EQ(rig.window.state, WindowState::Normal);
  EXPECT_TRUE(rig.window.IsEnabled(Control::cmdExecSoft));
}

// --- tavrel.exe /restore, as the logon runs it ---

TEST_F(Recovery, AtLogonWithoutAJournalNothingHappens) {
  const size_t calls = rig_.registry.CallCount();
  NextStart next(rig_);
  EXPECT_THROW(next.form.RestoreAtLogon(), ProcessEnded);
  EXPECT_TRUE(rig_.session.boxes.empty());
  EXPECT_FALSE(next.window.shown);
  EXPECT_EQ(rig_.Key(), before_);
  // It only looked.
  for (size_t i = calls; i < rig_.registry.callLog.size(); ++i) {
    EXPECT_TRUE(rig_.registry.callLog[i].starts_with("RegOpenKeyEx")) << rig_.registry.callLog[i];
  }
}

TEST_F(Recovery, AtLogonEverythingComesBackWithoutAWindow) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.RemoveKey(kRunOnce);  // Windows deletes the value before it runs it
  NextStart next(rig_);
  EXPECT_THROW(next.form.RestoreAtLogon(), ProcessEnded);
  ExpectAllBack();
  ASSERT_EQ(rig_.session.boxes.size(), 1u);
  EXPECT_EQ(rig_.session.boxes[0].text, kRestored);
  EXPECT_FALSE(next.window.shown);
  EXPECT_TRUE(next.window.boxes.empty());
}

TEST_F(Recovery, AtLogonAProgramThatStillRunsIsWaitedFor) {
  KillDuringTheWait();
  NextStart next(rig_);
  bool waited = false;
  rig_.processes.Queue([&] {
    EXPECT_EQ(rig_.SystemFont(), kUserFont);
    waited = true;
  });
  EXPECT_THROW(next.form.RestoreAtLogon(), ProcessEnded);
  EXPECT_TRUE(waited);
  ExpectAllBack();
  EXPECT_FALSE(next.window.shown);
}

TEST_F(Recovery, AtLogonAFailedRestoreAsksTheNextLogonAgain) {
  KillDuringTheWait();
  Program().running = false;
  rig_.registry.RemoveKey(kRunOnce);
  rig_.registry.SetReadOnly(kEudc);
  NextStart next(rig_);
  EXPECT_THROW(next.form.RestoreAtLogon(), ProcessEnded);
  EXPECT_EQ(rig_.session.boxes.size(), 1u);
  EXPECT_TRUE(rig_.JournalThere());
  EXPECT_EQ(rig_.RunOnce(), "\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore");
}

TEST_F(Recovery, AtLogonWhileAnotherCopyRunsNothingHappens) {
  KillDuringTheWait();
  Program().running = false;
  rig_.session.lockHeldByAnotherCopy = true;
  NextStart next(rig_);
  EXPECT_THROW(next.form.RestoreAtLogon(), ProcessEnded);
  EXPECT_TRUE(rig_.session.boxes.empty());
  EXPECT_EQ(rig_.SystemFont(), kUserFont);
  EXPECT_TRUE(rig_.JournalThere());
}

}  // namespace
}  // namespace tavrel::fakes
