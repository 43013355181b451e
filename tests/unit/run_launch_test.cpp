// The launch: the switch to the user font with its journal, the program's
// start and wait, the switch back, launches inside launches, every way out,
// and every way each step can fail.
#include <gtest/gtest.h>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kCloseQuestion[] = "登録ソフトが起動中です。\r\n終了してもいいですか？";

class Launch : public ::testing::Test {
 protected:
  void SetUp() override {
    Viewer(rig);
    rig.Start();
  }
  void Click() { rig.run->LaunchClicked(); }
  const Screen& screen() const { return rig.view.screen; }

  RunRig rig;
  const std::vector<RawValue> before = ViewerKey();
};

struct KeyRow {
  const char* name;
  std::optional<std::vector<RawValue>> start;  // nothing: no key
  std::vector<RawValue> after;                 // also the journal's record of it
};

class LaunchSequence : public ::testing::TestWithParam<KeyRow> {};

TEST_P(LaunchSequence, JournalsSwitchesStartsWaitsAndPutsBackExactly) {
  const KeyRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.key.values = row.start;
  std::optional<JournalRecord> journalAtFirstChange;
  std::vector<std::string> storeCallsAtFirstChange;
  rig.key.beforeWrite = [&] {
    if (!storeCallsAtFirstChange.empty()) return;
    journalAtFirstChange = Journalled(rig);
    storeCallsAtFirstChange = rig.store.calls;
    EXPECT_EQ(rig.store.logonCommand, kRestoreCommand);
  };
  rig.Start();
  rig.run->LaunchClicked();

  ASSERT_EQ(storeCallsAtFirstChange, (std::vector<std::string>{"write", "logon", "flush"}));
  JournalRecord journalled{Writer(rig), row.start.has_value(), kFont, row.after, {}};
  journalled.fontValueAdded = !row.start || !FindValue(*row.start, kSystemDefaultEudcFont);
  EXPECT_EQ(journalAtFirstChange, journalled);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
  for (const RawValue& value : row.start.value_or(std::vector<RawValue>{})) {
    if (!EqualIgnoringCase(value.name, kSystemDefaultEudcFont)) {
      EXPECT_EQ(rig.key.Text(value.name), u"") << Utf16ToUtf8(value.name);
    }
  }
  ASSERT_EQ(rig.launcher.StartCount(), 1u);
  const FakeLauncher::Process& program = rig.launcher.Started(0);
  EXPECT_EQ(program.program, Utf8ToUtf16(kProgram));
  EXPECT_EQ(rig.launcher.owners, std::vector{rig.view.owner});
  EXPECT_EQ(Journalled(rig)->programs, std::vector{program.identity});
  EXPECT_EQ(rig.run->WaitHandles(), std::vector{program.signal});
  const Screen& screen = rig.view.screen;
  EXPECT_EQ(std::tuple(screen.minimized, screen.launchEnabled), std::tuple(true, false));

  rig.EndProgram(0);
  EXPECT_EQ(rig.key.values, row.after);
  EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
  EXPECT_EQ(rig.key.reloads, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(std::tuple(screen.minimized, screen.launchEnabled, screen.closed), std::tuple(false, true, false));
  EXPECT_TRUE(rig.view.shown.empty());
  EXPECT_EQ(rig.launcher.openPrograms, 0u);
}

const RawValue kDefault = TextValue(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE");
const std::vector<RawValue> kAwkward = {
    RawValue{u"systemdefaulteudcfont", kRegExpandSz, Utf16Bytes(u"%SystemRoot%\\EUDC.TTE")},
    RawValue{u"Count", kRegDword, {5, 0, 0, 0}},
    RawValue{u"Blob", kRegBinary, {0x00, 0xFF, 0x00}},
    RawValue{u"NoNul", kRegSz, Utf16Bytes(u"abc", false)},
    RawValue{u"Empty", kRegBinary, {}},
    TextValue(Utf8ToUtf16("café 한글 😀"), Utf8ToUtf16("D:\\é\\한😀.tte")),
};

INSTANTIATE_TEST_SUITE_P(
    , LaunchSequence,
    ::testing::Values(KeyRow{"TwoTextValues", ViewerKey(), ViewerKey()},
                      KeyRow{"AwkwardValues", kAwkward, kAwkward},
                      KeyRow{"NoKeyGetsTheWindowsDefault", std::nullopt, {kDefault}},
                      KeyRow{"NoFontValueGetsTheWindowsDefault", std::vector{TextValue(kFace, u"C:\\m.tte")},
                             {TextValue(kFace, u"C:\\m.tte"), kDefault}}),
    [](const auto& row) { return std::string(row.param.name); });

enum class Then { Nothing, ProgramEnds, CloseYes, CloseNo, SessionEnds, SessionEndsDuringTheQuestion, WaitFails, EndUnknown };

struct WayOutRow {
  const char* name;
  bool exitTicked;
  std::optional<StartOutcome::Result> start;  // nothing: no launch
  Then then;
  std::vector<std::string> boxes;
  bool finished, back;
  std::size_t underWay;
};

class WayOut : public ::testing::TestWithParam<WayOutRow> {};

// However a launch ends, the settings come back; the close asks only while
// a program runs, and nothing is asked while Windows ends the session.
TEST_P(WayOut, PutsTheSettingsBackAndEndsTheRunWhenAsked) {
  const WayOutRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.Start();
  if (row.exitTicked) rig.run->ExitWhenDoneToggled();
  rig.launcher.handOver = row.start == StartOutcome::Result::HandedOver;
  if (row.start == StartOutcome::Result::Failed) rig.launcher.startError = kFileNotFound;
  if (row.start) rig.run->LaunchClicked();
  rig.view.answers = {row.then == Then::CloseYes};
  switch (row.then) {
    case Then::Nothing: break;
    case Then::ProgramEnds: rig.EndProgram(0); break;
    case Then::CloseYes:
    case Then::CloseNo: rig.run->CloseRequested(CloseReason::User); break;
    case Then::SessionEnds: rig.run->CloseRequested(CloseReason::SessionEnds); break;
    case Then::SessionEndsDuringTheQuestion:
      rig.view.whileShown = [&](const Box&) { rig.run->CloseRequested(CloseReason::SessionEnds); };
      rig.run->CloseRequested(CloseReason::User);
      break;
    case Then::WaitFails:  // the font stays until Tavrel closes
      rig.run->WaitFailed();
      if (row.finished) rig.run->CloseRequested(CloseReason::User);
      break;
    case Then::EndUnknown:  // the program's end can no longer be known: as a failed wait
      rig.launcher.Started(0).endUnknown = true;
      rig.EndProgram(0);
  }
  EXPECT_EQ(rig.BoxTexts(), row.boxes);
  for (const FakeView::Shown& shown : rig.view.shown) EXPECT_EQ(shown.owner, rig.view.owner);
  EXPECT_EQ(rig.run->Finished(), row.finished);
  EXPECT_EQ(rig.key.values == ViewerKey(), row.back);
  EXPECT_EQ(rig.store.record.has_value(), !row.back);
  EXPECT_EQ(rig.run->WaitHandles().size(), row.underWay);
  EXPECT_EQ(rig.launcher.openPrograms, row.underWay);
  if (!row.finished) {
    // A box brings the window back, to be seen.
    const bool minimized = row.underWay > 0 && row.boxes.empty();
    EXPECT_EQ(std::pair(rig.view.screen.minimized, rig.view.screen.launchEnabled), std::pair(minimized, !row.underWay));
  }
}

#define NOT_STARTED                                                             \
  "登録ソフトを起動できませんでした。\r\nC:\\Apps\\Viewer\\viewer.exe\r\n" \
  "指定されたファイルが見つかりません。（エラー 2）\r\n"
constexpr auto kStarted = StartOutcome::Result::Started;
constexpr auto kHandedOver = StartOutcome::Result::HandedOver;
constexpr auto kFailed = StartOutcome::Result::Failed;

#define NOTHING_TO_WAIT_FOR                                                                           \
  "次のソフトを起動しましたが、終了を待つことのできるプロセスがありません。外字の設定を今すぐ元に戻します。" \
  "\r\nC:\\Apps\\Viewer\\viewer.exe"
#define WAIT_FAILED "登録ソフトの終了を確認できなくなりました。\r\n外字の設定は、Tavrel を終了するときに元に戻します。"

INSTANTIATE_TEST_SUITE_P(
    , WayOut,
    ::testing::Values(
        WayOutRow{"ProgramEnds", false, kStarted, Then::ProgramEnds, {}, false, true, 0},
        WayOutRow{"ProgramEndsWithExitTicked", true, kStarted, Then::ProgramEnds, {}, true, true, 0},
        WayOutRow{"HandedOver", false, kHandedOver, Then::Nothing, {NOTHING_TO_WAIT_FOR}, false, true, 0},
        WayOutRow{"HandedOverWithExitTicked", true, kHandedOver, Then::Nothing, {NOTHING_TO_WAIT_FOR}, true, true, 0},
        WayOutRow{"NotStarted", false, kFailed, Then::Nothing, {NOT_STARTED "外字の設定を元に戻しました。"}, false, true, 0},
        WayOutRow{"NotStartedWithExitTicked", true, kFailed, Then::Nothing,
                  {NOT_STARTED "外字の設定を元に戻しました。"}, true, true, 0},
        WayOutRow{"IdleClose", false, std::nullopt, Then::CloseYes, {}, true, true, 0},
        WayOutRow{"CloseAnsweredNo", false, kStarted, Then::CloseNo, {kCloseQuestion}, false, false, 1},
        WayOutRow{"CloseAnsweredYes", false, kStarted, Then::CloseYes, {kCloseQuestion}, true, true, 0},
        WayOutRow{"SessionEnds", false, kStarted, Then::SessionEnds, {}, true, true, 0},
        WayOutRow{"SessionEndsDuringTheQuestion", false, kStarted, Then::SessionEndsDuringTheQuestion,
                  {kCloseQuestion}, true, true, 0},
        WayOutRow{"WaitFails", false, kStarted, Then::WaitFails, {WAIT_FAILED}, false, false, 0},
        WayOutRow{"WaitFailsThenClose", false, kStarted, Then::WaitFails, {WAIT_FAILED}, true, true, 0},
        WayOutRow{"EndUnknown", false, kStarted, Then::EndUnknown, {WAIT_FAILED}, false, false, 0}),
    [](const auto& row) { return std::string(row.param.name); });

struct FontFileRow {
  const char* name;
  std::vector<std::uint8_t> head;
  ErrorCode readError;
  const char* box;  // nothing: it launches
};

class FontFileAtLaunch : public Launch, public ::testing::WithParamInterface<FontFileRow> {};

// Checked at the launch, before anything changes: the file may have gone or
// changed since it was found.
TEST_P(FontFileAtLaunch, LaunchesOnlyWhatBeginsAsAFontDoes) {
  FakeFiles::File* font = rig.files.Find(Utf16ToUtf8(kFont));
  font->content = GetParam().head;
  font->readError = GetParam().readError;
  Click();
  const bool refused = GetParam().box;
  const std::vector<Box> boxes = {Box{GetParam().box ? GetParam().box : "", BoxIcon::Warning, BoxButtons::Ok}};
  EXPECT_EQ(Boxes(rig), refused ? boxes : std::vector<Box>{});
  EXPECT_EQ(rig.launcher.StartCount(), refused ? 0u : 1u);
  if (!refused) return;
  EXPECT_EQ(rig.view.shown[0].owner, rig.view.owner);
  EXPECT_TRUE(rig.key.reloads.empty() && rig.store.calls.empty());
  EXPECT_EQ(rig.key.values, before);
  EXPECT_EQ(std::pair(screen().minimized, screen().launchEnabled), std::pair(false, true));
}

#define FONT_BOX(first, error)                                                  \
  first "\r\nC:\\Apps\\Viewer\\mine.tte\r\n" error "\r\n" \
  "外字の設定は変更せず、ソフトも起動しませんでした。"
#define NOT_A_FONT \
  FONT_BOX("ユーザー外字ファイルではありません。", "TrueType または OpenType のフォントファイルを指定してください。")

INSTANTIATE_TEST_SUITE_P(
    , FontFileAtLaunch,
    ::testing::Values(
        FontFileRow{"TrueType", {0x00, 0x01, 0x00, 0x00}, kSuccess, nullptr},
        FontFileRow{"AppleTrueType", {'t', 'r', 'u', 'e', 0}, kSuccess, nullptr},
        FontFileRow{"OpenType", {'O', 'T', 'T', 'O'}, kSuccess, nullptr},
        FontFileRow{"Collection", {'t', 't', 'c', 'f'}, kSuccess, nullptr},
        FontFileRow{"Gone", {}, kFileNotFound,
                    FONT_BOX("ユーザー外字ファイルが見つかりません。", "指定されたファイルが見つかりません。（エラー 2）")},
        FontFileRow{"FolderGone", {}, kPathNotFound,
                    FONT_BOX("ユーザー外字ファイルが見つかりません。", "指定されたパスが見つかりません。（エラー 3）")},
        FontFileRow{"Unreadable", {}, kAccessDenied,
                    FONT_BOX("ユーザー外字ファイルを読み込めません。", "アクセスが拒否されました。（エラー 5）")},
        FontFileRow{"AProgram", {'M', 'Z', 0x90, 0x00}, kSuccess, NOT_A_FONT},
        FontFileRow{"ShorterThanASignature", {0x00, 0x01, 0x00}, kSuccess, NOT_A_FONT},
        FontFileRow{"Empty", {}, kSuccess, NOT_A_FONT}),
    [](const auto& row) { return std::string(row.param.name); });

class NestedLaunch : public Launch, public ::testing::WithParamInterface<std::vector<std::size_t>> {};

// A second launch with the font in place starts beside the first; the
// settings from before the first come back once the last program has ended.
// One that does not start leaves the font to the first.
TEST_P(NestedLaunch, LeavesTheFontInPlaceUntilTheLastProgramEnds) {
  Click();
  EXPECT_FALSE(screen().launchEnabled);  // the button comes back with the window
  rig.launcher.startError = kFileNotFound;
  Click();
  rig.launcher.startError.reset();
  EXPECT_EQ(rig.BoxTexts(),
            std::vector<std::string>{NOT_STARTED "起動中の登録ソフトがあるため、ユーザー外字の設定はそのままです。"});
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
  rig.view.shown.clear();
  Click();
  ASSERT_EQ(rig.launcher.StartCount(), 2u);
  EXPECT_EQ(Journalled(rig), (JournalRecord{Writer(rig), true, kFont, before,
                                            {rig.launcher.Started(0).identity, rig.launcher.Started(1).identity}}));

  rig.EndProgram(GetParam()[0]);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
  EXPECT_EQ(rig.run->WaitHandles().size(), 1u);
  EXPECT_TRUE(rig.store.record);

  rig.EndProgram(GetParam()[1]);
  EXPECT_EQ(rig.key.values, before);
  EXPECT_FALSE(rig.store.record);
  EXPECT_TRUE(rig.view.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(, NestedLaunch,
                         ::testing::Values(std::vector<std::size_t>{1, 0}, std::vector<std::size_t>{0, 1}));

struct FamilyRow {
  const char* name;
  std::vector<std::size_t> parents;  // of the processes after the one started (process 0)
  std::vector<std::size_t> ends;     // the order the processes end in
};

class LaunchFamily : public Launch, public ::testing::WithParamInterface<FamilyRow> {};

// A launcher that starts the real program and ends has not ended the launch:
// until its last process has ended nothing is asked and nothing changes.
TEST_P(LaunchFamily, EndsWithItsLastProcess) {
  Click();
  const Screen during = screen();
  std::vector<FakeLauncher::Process*> family{&rig.launcher.Started(0)};
  for (const std::size_t parent : GetParam().parents) {
    family.push_back(&rig.launcher.StartChild(*family.at(parent)));
  }
  const std::vector<std::size_t>& ends = GetParam().ends;
  for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
    rig.EndProcess(*family.at(ends[i]));
    EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont) << i;
    EXPECT_EQ(rig.run->WaitHandles().size(), 1u) << i;
    EXPECT_EQ(screen(), during) << i;
  }
  EXPECT_TRUE(rig.view.shown.empty());
  rig.EndProcess(*family.at(ends.back()));
  EXPECT_EQ(rig.key.values, before);
  EXPECT_FALSE(rig.store.record);
  EXPECT_EQ(rig.run->WaitHandles().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    , LaunchFamily,
    ::testing::Values(FamilyRow{"LauncherEndsFirst", {0}, {0, 1}},
                      FamilyRow{"ChildEndsFirst", {0}, {1, 0}},
                      FamilyRow{"GrandchildLast", {0, 1}, {0, 1, 2}},
                      FamilyRow{"TwoChildren", {0, 0}, {0, 2, 1}}),
    [](const auto& row) { return std::string(row.param.name); });

struct RestoreRow {
  const char* name;
  std::vector<std::u16string> unwritable;
  bool logonFails;
  std::string box;  // empty: Windows ends the session instead, and nothing is told
};

class FailedRestore : public Launch, public ::testing::WithParamInterface<RestoreRow> {};

TEST_P(FailedRestore, NamesEachValueKeepsTheJournalAndTriesAgainOnTheWayOut) {
  const RestoreRow& row = GetParam();
  Click();
  for (const std::u16string& name : row.unwritable) rig.key.writeErrors[name] = kAccessDenied;
  if (row.logonFails) rig.store.logonError = kIoDevice;
  if (row.box.empty()) rig.run->CloseRequested(CloseReason::SessionEnds);
  else rig.EndProgram(0);
  EXPECT_EQ(rig.BoxTexts(), row.box.empty() ? std::vector<std::string>{} : std::vector{row.box});
  EXPECT_EQ(Journalled(rig)->values, before);
  EXPECT_EQ(rig.store.logonCommand, kRestoreCommand);
  EXPECT_EQ(rig.run->Finished(), row.box.empty());
  if (rig.run->Finished()) return;

  EXPECT_EQ(rig.run->state(), RunState::Idle);  // the user font stays, for the way out
  rig.key.writeErrors.clear();
  rig.store.logonError = kSuccess;
  rig.run->CloseRequested(CloseReason::User);
  EXPECT_EQ(rig.key.values, before);
  EXPECT_FALSE(rig.store.record);
  EXPECT_EQ(rig.view.shown.size(), 1u);
}

#define FAILED(name) "HKEY_CURRENT_USER\\EUDC\\932 の「" name "」: アクセスが拒否されました。（エラー 5）\r\n"
#define AGAIN "次に Tavrel を起動したとき、またはログオンしたときに、もう一度元に戻します。"

INSTANTIATE_TEST_SUITE_P(
    , FailedRestore,
    ::testing::Values(
        RestoreRow{"OneValue", {kFace}, false, "外字の設定を元に戻せませんでした。\r\n" FAILED("ＭＳ 明朝") AGAIN},
        RestoreRow{"BothValues", {kSystemDefaultEudcFont, kFace}, false,
                   "外字の設定を元に戻せませんでした。\r\n" FAILED("SystemDefaultEUDCFont") FAILED("ＭＳ 明朝") AGAIN},
        RestoreRow{"AndTheLogonCommand", {kFace}, true,
                   "外字の設定を元に戻せませんでした。\r\n" FAILED("ＭＳ 明朝") AGAIN
                   "\r\n\r\n次のログオンで元に戻すための設定を書き込めませんでした。\r\n"
                   "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\!Tavrel\r\n"
                   "I/O デバイス エラーです。（エラー 1117）\r\nTavrel をもう一度起動すると、元に戻します。"},
        RestoreRow{"AsTheSessionEnds", {kFace}, false, ""}),
    [](const auto& row) { return std::string(row.param.name); });

// The fonts could not be released or reloaded around a change: told each time.
TEST_F(Launch, AReloadThatFailsIsTold) {
  rig.key.enableError = kIoDevice;
  Click();
  rig.EndProgram(0);
  EXPECT_EQ(rig.BoxTexts(), std::vector<std::string>(2, "外字を読み込み直せませんでした。\r\nI/O デバイス エラーです。（エラー 1117）\r\n"
                                                        "表示中の文字には、外字の設定の変更が反映されていないことがあります。"));
  EXPECT_EQ(rig.key.values, before);
}

class RecordLeftAfterRestore : public Launch, public ::testing::WithParamInterface<bool> {};

// Every value came back but the record could not go: the user font is no
// longer active, so the next launch records and empties every value afresh.
TEST_P(RecordLeftAfterRestore, LeavesNoUserFontActive) {
  Click();
  (GetParam() ? rig.store.removeError : rig.key.flushError) = kIoDevice;
  rig.EndProgram(0);
  ASSERT_EQ(rig.key.values, before);
  EXPECT_EQ(rig.view.shown.size(), 1u);

  rig.store.removeError = rig.key.flushError = kSuccess;
  Click();
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), kFont);
  EXPECT_EQ(rig.key.Text(kFace), u"");
}

INSTANTIATE_TEST_SUITE_P(, RecordLeftAfterRestore, ::testing::Values(true, false),
                         [](const auto& row) { return std::string(row.param ? "RecordNotRemoved" : "KeyNotFlushed"); });

// Each call to the key or the journal store over a whole launch fails in
// turn. Whichever it is, the key never changes without the journal holding
// every earlier value; those values are back, or the journal keeps them for
// the next start; and nothing that went otherwise than asked goes untold.
TEST(LaunchFaults, AnyOneFailedCallLosesNothingAndIsNeverSilent) {
  std::size_t calls = 0;
  for (std::size_t call = 0; call == 0 || call <= calls; ++call) {
    SCOPED_TRACE("call " + std::to_string(call));
    RunRig rig;
    Viewer(rig);
    CallFaults faults;
    rig.key.faults = rig.store.faults = &faults;
    bool unjournalledChange = false;
    rig.key.beforeWrite = [&] {
      const std::optional<JournalRecord> journal = Journalled(rig);
      unjournalledChange |= !journal || journal->values != ViewerKey() || !rig.store.logonCommand;
    };
    rig.Start();
    const std::size_t atClick = faults.calls;
    faults.failing = atClick + call - 1;  // the first round fails nothing and counts the calls
    rig.run->LaunchClicked();
    const bool ranWithTheFont = rig.launcher.StartCount() == 1 && rig.key.Text(kSystemDefaultEudcFont) == kFont;
    if (rig.launcher.StartCount() == 1) rig.EndProgram(0);
    if (call == 0) calls = faults.calls - atClick;
    const bool back = rig.key.values == ViewerKey();
    const std::optional<JournalRecord> journal = Journalled(rig);

    EXPECT_FALSE(unjournalledChange);
    EXPECT_TRUE(back || (journal && journal->values == ViewerKey()));
    EXPECT_TRUE(!journal || rig.store.logonCommand == kRestoreCommand);
    EXPECT_TRUE((ranWithTheFont && back && !journal) || !rig.view.shown.empty());
    EXPECT_TRUE(rig.launcher.StartCount() == 1 || (back && !journal));  // nothing started: all back at once
    EXPECT_EQ(rig.launcher.openPrograms, 0u);
    rig.key.faults = rig.store.faults = nullptr;
    rig.key.beforeWrite = nullptr;
    rig.StartAgain();  // the fault has gone
    EXPECT_EQ(rig.key.values, ViewerKey());
    EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
  }
  EXPECT_GE(calls, 15u);
}

// RunOnce runs no command line over 260 characters: such a launch would
// leave nothing to put the settings back at logon, so it is refused first.
TEST(LogonCommand, OverTheLimitRefusesTheLaunchBeforeAnythingChanges) {
  for (const std::size_t folderLength : {238u, 239u}) {  // the command is 22 characters longer
    RunRig rig;
    const std::string folder = "C:\\" + std::string(folderLength - 3, 'f');
    rig.Folder(folder, {"viewer.exe", "mine.tte"});
    rig.key.values = ViewerKey();
    rig.Start();
    rig.run->LaunchClicked();
    const bool fits = folderLength == 238;
    EXPECT_EQ(rig.launcher.StartCount(), fits ? 1u : 0u) << folderLength;
    EXPECT_EQ(rig.store.record.has_value(), fits);
    EXPECT_EQ(rig.key.values == ViewerKey(), !fits);
    EXPECT_EQ(rig.view.shown.size(), fits ? 0u : 1u);
  }
}

}  // namespace
}  // namespace tavrel::fakes
