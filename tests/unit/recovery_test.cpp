// What a later start, or the logon's "tavrel.exe /restore", does with the
// journal of a copy killed during its wait: it takes over the wait of a
// program that still runs, puts back at once otherwise what still holds what
// Tavrel wrote and names what someone else changed, and never acts on a
// journal it cannot read or that a running copy still uses.
#include <gtest/gtest.h>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kRecoveredLine[] = "前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。";
constexpr char kKeptLines[] =
    "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。変更後の設定のままにしてあります。\r\n"
    "HKEY_CURRENT_USER\\EUDC\\932";
const std::string kRecovered = std::string(kRecoveredLine) +
                               "\r\nSystemDefaultEUDCFont = C:\\WINDOWS\\EUDC.TTE\r\nＭＳ 明朝 = C:\\m.tte";

// A copy launched the program and was killed during its wait: nothing of it runs on.
class Recovery : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer(rig);
    rig.Start();
    rig.run->LaunchClicked();
    ASSERT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
    rig.run.reset();
  }
  FakeLauncher::Process& Program() { return rig.launcher.Started(0); }

  RunRig rig;
};

TEST_F(Recovery, TakesOverTheWaitOfAProgramThatStillRuns) {
  rig.launcher.self = rig.launcher.AddRunning(u"C:\\Apps\\Viewer\\Tavrel.exe");
  rig.StartAgain();
  EXPECT_EQ(Journalled(rig)->writer, Writer(rig));  // its own now, before it waits
  const Screen& screen = rig.view.screen;
  EXPECT_TRUE(screen.visible && screen.minimized);
  EXPECT_FALSE(screen.launchEnabled);
  EXPECT_EQ(rig.run->WaitHandles().size(), 1u);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
  EXPECT_TRUE(rig.view.shown.empty());

  rig.EndProgram(0);
  EXPECT_EQ(rig.key.values, ViewerKey());
  EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
  EXPECT_EQ(std::tuple(screen.minimized, screen.launchEnabled), std::tuple(false, true));
  EXPECT_TRUE(rig.view.shown.empty());
  EXPECT_EQ(rig.launcher.openPrograms, 0u);
}

struct EndedRow {
  const char* name;
  void (*change)(RunRig& rig);  // after the program ended
  std::vector<std::string> boxes;
  std::optional<std::u16string> font;  // SystemDefaultEUDCFont afterwards
};

class RecoveryOfAnEndedProgram : public Recovery, public ::testing::WithParamInterface<EndedRow> {};

// The per-font link always comes back; a value someone else set is kept and
// named, in the one box, which comes before the window and stands alone.
TEST_P(RecoveryOfAnEndedProgram, PutsBackWhatTavrelWroteAndKeepsWhatOthersSet) {
  const EndedRow& row = GetParam();
  rig.launcher.End(Program());
  row.change(rig);
  rig.StartAgain();
  EXPECT_EQ(rig.BoxTexts(), row.boxes);
  for (const FakeView::Shown& shown : rig.view.shown) EXPECT_EQ(shown.owner, nullptr);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), row.font);
  EXPECT_EQ(rig.key.Text(kFace), u"C:\\m.tte");
  EXPECT_EQ(rig.key.reloads.back(), true);  // EUDC is on again, whatever was written
  EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
  EXPECT_EQ(rig.run->WaitHandles().size(), 0u);
  EXPECT_EQ(std::tuple(rig.view.screen.visible, rig.view.screen.minimized), std::tuple(true, false));
}

void SetFont(RunRig& rig, std::u16string_view text) { rig.key.SetText(kSystemDefaultEudcFont, text); }

const std::u16string kDefault = u"C:\\WINDOWS\\EUDC.TTE";
const std::string kFaceBack = std::string(kRecoveredLine) + "\r\nＭＳ 明朝 = C:\\m.tte\r\n\r\n" + kKeptLines;

INSTANTIATE_TEST_SUITE_P(
    , RecoveryOfAnEndedProgram,
    ::testing::Values(
        EndedRow{"Ended", [](RunRig&) {}, {kRecovered}, kDefault},
        // Windows handed the id to a later process: the creation time tells them apart.
        EndedRow{"IdNowNamesAnotherProcess",
                 [](RunRig& rig) {
                   FakeLauncher::Process stranger = rig.launcher.Started(0);
                   stranger.running = true;
                   ++stranger.identity.creationTime;
                   rig.launcher.processes.push_back(stranger);
                 },
                 {kRecovered}, kDefault},
        // The copy ended between its restore and the journal's removal.
        EndedRow{"AlreadyBack", [](RunRig& rig) { rig.key.values = ViewerKey(); }, {}, kDefault},
        // A recovery killed halfway: what is back already counts as back.
        EndedRow{"HalfBack", [](RunRig& rig) { rig.key.SetText(kFace, u"C:\\m.tte"); },
                 {std::string(kRecoveredLine) + "\r\nSystemDefaultEUDCFont = C:\\WINDOWS\\EUDC.TTE"}, kDefault},
        // The copy ended after it emptied the value, before it named the file.
        EndedRow{"FontLeftEmpty", [](RunRig& rig) { SetFont(rig, u""); }, {kRecovered}, kDefault},
        EndedRow{"KeyUnreadable", [](RunRig& rig) { rig.key.readError = kAccessDenied; }, {kRecovered}, kDefault},
        // The key back is the one the record names (932), not that of the code page now.
        EndedRow{"CodePageChangedSince", [](RunRig& rig) { rig.key.activeCodePage = 1252; }, {kRecovered}, kDefault},
        EndedRow{"FontSetByHand", [](RunRig& rig) { SetFont(rig, u"C:\\Someone\\else.tte"); },
                 {kFaceBack + "\r\n「SystemDefaultEUDCFont」 = C:\\Someone\\else.tte"}, u"C:\\Someone\\else.tte"},
        EndedRow{"FontRemoved", [](RunRig& rig) { rig.key.values->erase(rig.key.values->begin()); },
                 {kFaceBack + "\r\n「SystemDefaultEUDCFont」（削除されています）"}, std::nullopt},
        EndedRow{"ValueAdded",
                 [](RunRig& rig) { rig.key.values->push_back(RawValue{u"Extra", kRegBinary, {1, 2, 3}}); },
                 {kRecovered + "\r\n\r\n" + kKeptLines + "\r\n「Extra」（3 バイトのデータ）"}, kDefault}),
    [](const auto& row) { return std::string(row.param.name); });

// Another logon session of the same user shares the registry: a record
// whose writer still runs is neither recovered nor removed, and a launch
// here says why it cannot switch.
TEST_F(Recovery, ARecordOfACopyThatStillRunsIsLeftToIt) {
  rig.launcher.End(Program());
  const std::optional<JournalRecord> record = Journalled(rig);
  ASSERT_TRUE(record);
  const auto switched = rig.key.values;
  rig.launcher.self = rig.launcher.AddRunning(u"C:\\Tools\\tavrel.exe");  // the next start is a new process
  rig.launcher.processes.push_back(FakeLauncher::Process{record->writer.process, u"tavrel.exe", true, nullptr});
  rig.StartAgain();
  EXPECT_TRUE(rig.view.shown.empty());
  EXPECT_EQ(rig.key.values, switched);
  rig.run->LaunchClicked();
  ASSERT_EQ(rig.view.shown.size(), 1u);
  EXPECT_NE(rig.BoxTexts()[0].find("セッション 1"), std::string::npos) << rig.BoxTexts()[0];
  EXPECT_EQ(rig.key.values, switched);
  EXPECT_EQ(Journalled(rig), record);
  EXPECT_EQ(rig.launcher.StartCount(), 1u);
  rig.run->CloseRequested(CloseReason::User);
  EXPECT_EQ(Journalled(rig), record);
}

struct UnreadableRow {
  const char* name;
  bool registryError;
  const char* why;
};

class UnreadableJournal : public ::testing::TestWithParam<UnreadableRow> {};

// Never a guess: the record is told about, kept as it is, and no launch
// switches anything while it is there.
TEST_P(UnreadableJournal, IsReportedKeptAndBlocksTheSwitch) {
  RunRig rig;
  Viewer(rig);
  const std::vector<std::uint8_t> damaged = {'T', 'V', 'J', '1', 0x01, 0x02};
  rig.store.record = damaged;
  rig.store.unreadable = GetParam().registryError;
  rig.store.readError = GetParam().registryError ? kAccessDenied : kSuccess;
  rig.Start();
  EXPECT_EQ(rig.BoxTexts(), std::vector<std::string>{std::string(
                                "外字の設定を元に戻すための記録を読み取れませんでした。\r\n"
                                "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal\r\n") +
                                GetParam().why +
                                "\r\n外字の設定は変更せず、記録もそのまま残してあります。\r\n"
                                "不要な記録であれば、このキーを削除してください。"});
  rig.view.shown.clear();
  rig.run->LaunchClicked();
  EXPECT_EQ(rig.BoxTexts(), std::vector<std::string>{
                                "外字の設定を元に戻すための以前の記録が、読み取れないまま残っています。\r\n"
                                "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal\r\n"
                                "この記録が残っている間は、外字の設定を変更できません。\r\n"
                                "外字の設定は変更せず、ソフトも起動しませんでした。"});
  EXPECT_EQ(rig.key.values, ViewerKey());
  EXPECT_EQ(rig.store.record, damaged);
  EXPECT_EQ(rig.launcher.StartCount(), 0u);
  EXPECT_FALSE(rig.view.screen.minimized);
}

INSTANTIATE_TEST_SUITE_P(, UnreadableJournal,
                         ::testing::Values(UnreadableRow{"Damaged", false, "記録が壊れています。"},
                                           UnreadableRow{"NotReadable", true,
                                                         "アクセスが拒否されました。（エラー 5）"}),
                         [](const auto& row) { return std::string(row.param.name); });

struct LogonRow {
  const char* name;
  bool journal, programRuns, lockFree, restoreFails;
  bool finishesAtOnce, restored;
  std::size_t boxes;
};

class LogonRestore : public Recovery, public ::testing::WithParamInterface<LogonRow> {};

// Windows runs the RunOnce value, and deletes it after: it is set again only
// at the end, where the journal stays.
TEST_P(LogonRestore, PutsBackWithoutAWindowOrWaitsForTheProgram) {
  const LogonRow& row = GetParam();
  if (!row.programRuns) rig.launcher.End(Program());
  if (!row.journal) {
    rig.store.record.reset();
    rig.key.values = ViewerKey();
  }
  rig.desktop.lockFree = row.lockFree;
  if (row.restoreFails) rig.key.writeErrors[kFace] = kAccessDenied;
  rig.store.logonCommand.reset();
  const std::size_t writes = rig.key.writes;
  rig.view = FakeView{};
  rig.run = rig.MakeRun();
  rig.run->RestoreAtLogon();
  EXPECT_EQ(rig.run->Finished(), row.finishesAtOnce);
  if (!row.finishesAtOnce) {
    EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
    EXPECT_FALSE(rig.store.logonCommand);
    rig.EndProgram(0);
    EXPECT_TRUE(rig.run->Finished());
  }
  EXPECT_EQ(rig.key.values == ViewerKey(), row.restored);
  EXPECT_EQ(rig.key.writes == writes, !row.journal || !row.lockFree);  // without either, it only looks
  EXPECT_EQ(rig.store.record.has_value(), !row.restored);
  EXPECT_EQ(rig.store.logonCommand.has_value(), row.restoreFails);
  EXPECT_EQ(rig.view.shown.size(), row.boxes);
  for (const FakeView::Shown& shown : rig.view.shown) EXPECT_EQ(shown.owner, nullptr);
  EXPECT_FALSE(rig.view.screen.visible);
}

INSTANTIATE_TEST_SUITE_P(
    , LogonRestore,
    ::testing::Values(LogonRow{"NoJournal", false, false, true, false, true, true, 0},
                      LogonRow{"ProgramEnded", true, false, true, false, true, true, 1},
                      LogonRow{"ProgramRuns", true, true, true, false, false, true, 0},
                      LogonRow{"RestoreFails", true, false, true, true, true, false, 1},
                      // The copy that holds the lock puts it back itself.
                      LogonRow{"AnotherCopyRuns", true, false, false, false, true, false, 0}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel::fakes
