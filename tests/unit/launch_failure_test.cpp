// Every way a launch can fail tells the user in one box, naming the file, key
// or value and the system's error text, and leaves nothing switched that is
// not needed.
#include <gtest/gtest.h>

#include <algorithm>

#include "unit/viewer_folder.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kProgram = "C:\\Apps\\Viewer\\viewer.exe";
constexpr const char* kUserFont = kViewerFont;
constexpr const char* kNothingDone = "外字の設定は変更せず、ソフトも起動しませんでした。";

class LaunchFailure : public ViewerFolder {
 protected:
  // The one box of the run.
  std::string OnlyBox() {
    EXPECT_TRUE(rig_.session.boxes.empty());
    if (rig_.window.boxes.size() != 1) {
      ADD_FAILURE() << rig_.window.boxes.size() << " boxes";
      return {};
    }
    EXPECT_EQ(rig_.window.boxes[0].caption, "Tavrel");
    EXPECT_EQ(rig_.window.boxes[0].style, kMbOk | kMbIconWarning);
    return rig_.window.boxes[0].text;
  }
  // Nothing switched, nothing launched, the window as before the click.
  void ExpectNothingDone() {
    EXPECT_EQ(rig_.Key(), before_);
    EXPECT_FALSE(rig_.JournalThere());
    EXPECT_EQ(rig_.RunOnce(), std::nullopt);
    EXPECT_TRUE(rig_.processes.Started().empty());
    EXPECT_FALSE(rig_.UserFontActive());
    EXPECT_EQ(rig_.window.state, WindowState::Normal);
    EXPECT_TRUE(rig_.window.IsEnabled(Control::cmdExecSoft));
    EXPECT_EQ(rig_.form.LaunchesUnderWay(), 0);
    EXPECT_EQ(rig_.registry.OpenHandleCount(), 0u);
    EXPECT_EQ(rig_.files.OpenFileCount(), 0u);
  }
};

struct FontCase {
  const char* name;
  void (*prepare)(FormRig& rig);
  const char* box;
};

class FontFileAtLaunch : public LaunchFailure, public ::testing::WithParamInterface<FontCase> {};

// Checked at the moment of the launch: the file may have gone or changed
// since it was found or dropped. Nothing is touched before the check.
TEST_P(FontFileAtLaunch, IsRefusedBeforeAnythingChanges) {
  GetParam().prepare(rig_);
  const size_t registryCalls = rig_.registry.CallCount();
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(OnlyBox(), GetParam().box);
  ExpectNothingDone();
  EXPECT_EQ(rig_.registry.CallCount(), registryCalls);
  EXPECT_EQ(std::count(rig_.window.stateChanges.begin(), rig_.window.stateChanges.end(),
                       WindowState::Minimized),
            0);
  EXPECT_TRUE(rig_.session.eudcReloads.empty());
}

void Drop(FormRig& rig, const std::string& font) {
  rig.form.Label1_OLEDragDrop(1, DropData{1, font});
}

INSTANTIATE_TEST_SUITE_P(
    , FontFileAtLaunch,
    ::testing::Values(
        FontCase{"DeletedSinceTheStart",
                 [](FormRig& rig) { rig.files.Remove(kUserFont); },
                 "ユーザー外字ファイルが見つかりません。\r\nC:\\Apps\\Viewer\\mine.tte\r\n"
                 "指定されたファイルが見つかりません。（エラー 2）\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"},
        FontCase{"InAFolderThatIsGone", [](FormRig& rig) { Drop(rig, "E:\\Gone\\mine.tte"); },
                 "ユーザー外字ファイルが見つかりません。\r\nE:\\Gone\\mine.tte\r\n"
                 "指定されたパスが見つかりません。（エラー 3）\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"},
        FontCase{"AFolderNamedLikeAFont",
                 [](FormRig& rig) {
                   rig.files.AddFolder("E:\\Fonts\\set.tte");
                   Drop(rig, "E:\\Fonts\\set.tte");
                 },
                 "ユーザー外字ファイルを読み込めません。\r\nE:\\Fonts\\set.tte\r\n"
                 "アクセスが拒否されました。（エラー 5）\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"},
        FontCase{"AProgramRenamed",
                 [](FormRig& rig) {
                   rig.files.AddFile(kUserFont, kFileAttributeArchive, {'M', 'Z', 0x90, 0x00});
                 },
                 "ユーザー外字ファイルではありません。\r\nC:\\Apps\\Viewer\\mine.tte\r\n"
                 "TrueType または OpenType のフォントファイルを指定してください。\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"},
        FontCase{"ShorterThanAHeader",
                 [](FormRig& rig) {
                   rig.files.AddFile(kUserFont, kFileAttributeArchive, {0x00, 0x01, 0x00});
                 },
                 "ユーザー外字ファイルではありません。\r\nC:\\Apps\\Viewer\\mine.tte\r\n"
                 "TrueType または OpenType のフォントファイルを指定してください。\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"},
        FontCase{"Empty",
                 [](FormRig& rig) { rig.files.AddFile(kUserFont, kFileAttributeArchive, {}); },
                 "ユーザー外字ファイルではありません。\r\nC:\\Apps\\Viewer\\mine.tte\r\n"
                 "TrueType または OpenType のフォントファイルを指定してください。\r\n"
                 "外字の設定は変更せず、ソフトも起動しませんでした。"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LaunchFailure, EveryKindOfTrueTypeAndOpenTypeFileLaunches) {
  const std::vector<std::vector<BYTE>> heads = {
      {0x00, 0x01, 0x00, 0x00}, {'t', 'r', 'u', 'e'}, {'O', 'T', 'T', 'O'}, {'t', 't', 'c', 'f'}};
  for (const auto& head : heads) {
    rig_.files.AddFile(kUserFont, kFileAttributeArchive, head);
    const size_t started = rig_.processes.Started().size();
    rig_.form.cmdExecSoft_Click();
    EXPECT_EQ(rig_.processes.Started().size(), started + 1);
  }
  EXPECT_TRUE(rig_.window.boxes.empty());
  EXPECT_EQ(rig_.Key(), before_);
}

TEST_F(LaunchFailure, AKeyThatCannotBeReadWholeSwitchesNothing) {
  rig_.registry.InjectFault("RegEnumValue HKCU\\EUDC\\932", kErrorAccessDenied, 2);
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(OnlyBox(), std::string("外字の設定を読み取れませんでした。\r\n"
                                   "HKEY_CURRENT_USER\\EUDC\\932\r\n"
                                   "アクセスが拒否されました。（エラー 5）\r\n") +
                           kNothingDone);
  ExpectNothingDone();
}

struct JournalCase {
  const char* name;
  const char* call;  // the registry call that fails
  const char* where;
};

class UnwritableJournal : public LaunchFailure,
                          public ::testing::WithParamInterface<JournalCase> {};

TEST_P(UnwritableJournal, SwitchesNothingAndLeavesNothingOfItBehind) {
  rig_.registry.InjectFault(GetParam().call, kErrorIoDevice);
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(OnlyBox(), std::string("外字の設定を元に戻すための記録を書き込めませんでした。\r\n") +
                           GetParam().where +
                           "\r\nI/O デバイス エラーが発生したため、要求を実行できませんでした。"
                           "（エラー 1117）\r\n" +
                           kNothingDone);
  ExpectNothingDone();
}

INSTANTIATE_TEST_SUITE_P(
    , UnwritableJournal,
    ::testing::Values(
        JournalCase{"Key", "RegCreateKeyEx HKCU Software\\Tavrel\\Journal",
                    "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal"},
        JournalCase{"Record", "RegSetValueEx HKCU\\Software\\Tavrel\\Journal Record",
                    "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal"},
        JournalCase{"RunOnce", "RegSetValueEx HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce Tavrel",
                    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\Tavrel"},
        JournalCase{"Flush", "RegFlushKey", "HKEY_CURRENT_USER\\Software\\Tavrel\\Journal"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(LaunchFailure, AFontThatCannotBeSetPutsTheRestBackAndLaunchesNothing) {
  // The first write of the font value empties it; the second sets the file.
  rig_.registry.InjectFault("RegSetValueEx HKCU\\EUDC\\932 SystemDefaultEUDCFont",
                            kErrorAccessDenied, 2);
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(OnlyBox(), "ユーザー外字を設定できませんでした。\r\n"
                       "HKEY_CURRENT_USER\\EUDC\\932\\SystemDefaultEUDCFont\r\n"
                       "アクセスが拒否されました。（エラー 5）\r\n"
                       "外字の設定を元に戻し、ソフトは起動しませんでした。");
  ExpectNothingDone();
}

TEST_F(LaunchFailure, ARestoreThatCannotWriteEveryValueSaysWhichAndKeepsTheJournal) {
  rig_.processes.Queue([&] { rig_.registry.SetReadOnly(kEudc); });
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(OnlyBox(), kNeitherValueWritten);
  EXPECT_TRUE(rig_.UserFontActive());
  EXPECT_TRUE(rig_.JournalThere());
  EXPECT_EQ(rig_.RunOnce(), "\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore");
  EXPECT_EQ(rig_.window.state, WindowState::Normal);
  // The way out tries again.
  rig_.registry.SetReadOnly(kEudc, false);
  EXPECT_THROW(rig_.form.cmdEnd_Click(), ProcessEnded);
  EXPECT_EQ(rig_.Key(), before_);
  EXPECT_FALSE(rig_.JournalThere());
  EXPECT_EQ(rig_.window.boxes.size(), 1u);
}

// The nested-launch rule holds: the outer program still runs with the font.
TEST_F(LaunchFailure, AProgramThatDoesNotStartInsideAnothersWaitLeavesTheFontToIt) {
  rig_.processes.Queue([&] {
    rig_.files.Remove(kProgram);
    rig_.form.cmdExecSoft_Click();
    EXPECT_EQ(OnlyBox(), "登録ソフトを起動できませんでした。\r\nC:\\Apps\\Viewer\\viewer.exe\r\n"
                         "指定されたファイルが見つかりません。（エラー 2）\r\n"
                         "起動中の登録ソフトがあるため、ユーザー外字の設定はそのままです。");
    EXPECT_EQ(rig_.SystemFont(), kUserFont);
    EXPECT_TRUE(rig_.UserFontActive());
    EXPECT_TRUE(rig_.processes.Started().back()->running);
    EXPECT_EQ(rig_.form.LaunchesUnderWay(), 1);
  });
  rig_.form.cmdExecSoft_Click();
  EXPECT_EQ(rig_.processes.Started().size(), 1u);
  EXPECT_EQ(rig_.Key(), before_);
  EXPECT_FALSE(rig_.JournalThere());
}

// Windows is ending the session: a box could be cut short, so none is shown;
// what could not be put back waits in the journal for the next logon.
TEST_F(LaunchFailure, AtTheEndOfTheSessionAFailedRestoreIsLeftToTheNextLogon) {
  rig_.processes.Queue([&] {
    rig_.registry.SetReadOnly(kEudc);
    rig_.form.RequestClose(UnloadMode::AppWindows);
  });
  EXPECT_THROW(rig_.form.cmdExecSoft_Click(), ProcessEnded);
  EXPECT_TRUE(rig_.window.boxes.empty());
  EXPECT_TRUE(rig_.JournalThere());
  EXPECT_TRUE(rig_.RunOnce().has_value());
}

}  // namespace
}  // namespace tavrel::fakes
