// Start-up: the guard against a second copy, the caption, and what the window
// shows once it has looked at its own folder.
#include <gtest/gtest.h>

#include "app/window_search.h"
#include "fakes/form_rig.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kProgramPrompt = "実行するソフトをDrag＆Dropしてください";
constexpr const char* kFontPrompt = "ユーザー外字ファイルをDrag＆Dropしてください。";
constexpr const char* kRefusal =
    "Tavrel は既に起動しています。\r\n利用しているソフトを終了させてください。";

TEST(Startup, ShowsBothFilesTheCurrentFontAndTheProgramsIcon) {
  FormRig rig;
  rig.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"font.tte", "viewer.exe"});
  rig.shell.SetIconCount("C:\\Apps\\Viewer\\viewer.exe", 3);
  rig.Start();

  EXPECT_EQ(rig.window.formCaption, "Tavrel [ Ver.1.0.0 ]");
  EXPECT_EQ(rig.form.AppDir(), "C:\\Apps\\Viewer\\");
  EXPECT_EQ(rig.window.Caption(Label1(0)), "C:\\Apps\\Viewer\\viewer.exe");
  EXPECT_EQ(rig.window.Caption(Label1(1)), "C:\\Apps\\Viewer\\font.tte");
  EXPECT_EQ(rig.window.Caption(Label1(2)), "C:\\WINDOWS\\EUDC.TTE");
  EXPECT_EQ(rig.form.IconCount(), 3u);
  EXPECT_NE(rig.window.iconOnLaunchButton, nullptr);
  EXPECT_TRUE(rig.window.shown);
  EXPECT_TRUE(rig.window.IsEnabled(Control::cmdExecSoft));
  EXPECT_EQ(rig.window.focus, Control::cmdExecSoft);
  // The settings file beside the executable is bound, never created.
  EXPECT_FALSE(rig.profile.FileExists("C:\\Apps\\Viewer\\Tavrel.ini"));
}

TEST(Startup, AnExecutableInADriveRootGetsNoDoubledBackslash) {
  FormRig rig;
  rig.Folder("C:\\Tavrel.exe", {"a.tte", "b.exe"});
  rig.Start();
  EXPECT_EQ(rig.form.AppDir(), "C:\\");
  EXPECT_EQ(rig.form.SoftPath(), "C:\\b.exe");
  EXPECT_EQ(rig.form.EudcFile(), "C:\\a.tte");
}

struct FolderCase {
  const char* name;
  std::vector<std::string> contents;  // beside C:\Apps\Viewer\Tavrel.exe
  const char* programBox;
  const char* fontBox;
  bool launchEnabled;
};

class StartupFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(StartupFolders, FillTheBoxesAndTheLaunchButton) {
  const FolderCase& c = GetParam();
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe");
  for (const auto& entry : c.contents) {
    const std::string path = "C:\\Apps\\Viewer\\" + entry.substr(entry.find(':') + 1);
    const std::string kind = entry.substr(0, entry.find(':'));
    if (kind == "dir") rig.files.AddFolder(path);
    if (kind == "hidden") rig.files.AddFile(path, kFileAttributeHidden);
    if (kind == "system") rig.files.AddFile(path, kFileAttributeSystem);
    if (kind == "file") rig.files.AddFile(path, kFileAttributeReadonly);
    if (kind == "noicons") rig.Program(path, 0);
    if (kind == "exe") rig.Program(path, 2);
    if (kind == "short") {  // long|SHORT: a file with an 8.3 name beside its long one
      const size_t bar = path.find('|');
      rig.files.AddFile(path.substr(0, bar));
      rig.files.AddShortName("C:\\Apps\\Viewer\\" + path.substr(bar + 1), path.substr(0, bar));
    }
  }
  rig.Start();
  EXPECT_EQ(rig.window.Caption(Label1(0)), c.programBox);
  EXPECT_EQ(rig.window.Caption(Label1(1)), c.fontBox);
  EXPECT_EQ(rig.window.IsEnabled(Control::cmdExecSoft), c.launchEnabled);
  // A missing file disables the button before the window can take any input,
  // and the focus starts on a control that can take it.
  EXPECT_EQ(rig.window.enabledWhenShown, c.launchEnabled);
  EXPECT_EQ(rig.window.focus, c.launchEnabled ? Control::cmdExecSoft : Control::cmdEnd);
}

INSTANTIATE_TEST_SUITE_P(
    , StartupFolders,
    ::testing::Values(
        FolderCase{"OwnExecutableInUpperCaseOnly", {"exe:TAVREL.EXE", "file:f.tte"}, kProgramPrompt,
                   "C:\\Apps\\Viewer\\f.tte", false},
        // The folder lists Tavrel's own executable first: the next one is taken.
        FolderCase{"OwnExecutableListedFirst", {"exe:zeta.exe", "exe:omega.exe", "file:f.tte"},
                   "C:\\Apps\\Viewer\\zeta.exe", "C:\\Apps\\Viewer\\f.tte", true},
        // "*.exe" and "*.tte" match 8.3 names too; only the long name counts.
        FolderCase{"ShortNamesMakeNoProgramAndNoFont",
                   {"short:Tavrel.exe_old|TAVREL~1.EXE", "short:fonts.tte.bak|FONTST~1.TTE"},
                   kProgramPrompt, kFontPrompt, false},
        FolderCase{"ShortNamesAreSkippedForTheRealFiles",
                   {"short:Tavrel.exe_old|TAVREL~1.EXE", "short:fonts.tte.bak|FONTST~1.TTE",
                    "exe:viewer.exe", "file:f.tte"},
                   "C:\\Apps\\Viewer\\viewer.exe", "C:\\Apps\\Viewer\\f.tte", true},
        FolderCase{"NoFontFile", {"exe:viewer.exe"}, "C:\\Apps\\Viewer\\viewer.exe", kFontPrompt,
                   false},
        FolderCase{"ProgramWithoutIcons", {"noicons:plain.exe", "file:f.tte"},
                   "C:\\Apps\\Viewer\\plain.exe", "C:\\Apps\\Viewer\\f.tte", true},
        FolderCase{"OnlyNormalFilesCount",
                   {"dir:folder.exe", "hidden:hid.exe", "system:sys.tte", "dir:dir.tte"},
                   kProgramPrompt, kFontPrompt, false},
        FolderCase{"ReadOnlyFilesAreNormal", {"file:ro.exe", "file:ro.tte"},
                   "C:\\Apps\\Viewer\\ro.exe", "C:\\Apps\\Viewer\\ro.tte", true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Startup, AProgramWithoutIconsKeepsTheDesignedPicture) {
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"f.tte"});
  rig.Program("C:\\Apps\\Viewer\\plain.exe", 0);
  rig.Start();
  EXPECT_EQ(rig.window.iconOnLaunchButton, nullptr);
  EXPECT_EQ(rig.form.IconCount(), 0u);
}

TEST(Startup, AMissingFontValueLeavesTheDisplayEmpty) {
  FormRig rig;
  rig.registry.SetText(kEudc, "ＭＳ 明朝", "C:\\x.tte");
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"f.tte", "v.exe"});
  rig.Start();
  EXPECT_EQ(rig.window.Caption(Label1(2)), "");
  EXPECT_TRUE(rig.window.IsEnabled(Control::cmdExecSoft));
}

TEST(Guard, AnotherCopysWindowsRefuseTheStartBeforeAnythingElse) {
  FormRig rig;
  const Hwnd running = rig.windows.Add(nullptr, "Tavrel [ Ver.1.0.0 ]", kMainWindowClass);
  rig.windows.Add(running, "起動させたソフトが終了したら、本ソフト[Tavrel]も同時に終了させる(&E)");
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"f.tte", "v.exe"});
  EXPECT_THROW(rig.Start(), ProcessEnded);
  ASSERT_EQ(rig.session.boxes.size(), 1u);
  EXPECT_EQ(rig.session.boxes[0].text, kRefusal);
  EXPECT_EQ(rig.session.boxes[0].caption, "Tavrel");
  EXPECT_EQ(rig.session.boxes[0].style, kMbOk | kMbIconInformation);
  EXPECT_EQ(rig.session.boxes[0].owner, nullptr);
  EXPECT_FALSE(rig.window.shown);
  EXPECT_EQ(rig.window.formCaption, "");
  EXPECT_EQ(rig.registry.CallCount(), 0u);
}

struct TitleCase {
  const char* name;
  std::string title;
  bool inTavrelsWindow;  // a control of another copy's main window, or of another program's
  bool refused;
};

class GuardTitles : public ::testing::TestWithParam<TitleCase> {};

TEST_P(GuardTitles, RefuseOnlyForAnotherCopysWindowsCarryingTheTitle) {
  FormRig rig;
  const Hwnd top = GetParam().inTavrelsWindow
                       ? rig.windows.Add(nullptr, "", kMainWindowClass)
                       : rig.windows.Add(nullptr, "Some editor", u"EditorFrame");
  rig.windows.Add(top, GetParam().title, u"Button");
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe");
  if (GetParam().refused) {
    EXPECT_THROW(rig.form.Form_Initialize(), ProcessEnded);
  } else {
    rig.form.Form_Initialize();
    EXPECT_EQ(rig.window.formCaption, "Tavrel [ Ver.1.0.0 ]");
  }
}

INSTANTIATE_TEST_SUITE_P(
    , GuardTitles,
    ::testing::Values(
        TitleCase{"CheckBoxOfAnotherCopy", "本ソフト[Tavrel]も同時に終了させる(&E)", true, true},
        TitleCase{"TitleInAnyCase", "TAVREL settings", true, true},
        TitleCase{"UnrelatedTitle", "Travel notes", true, false},
        // GetWindowTextA reads 254 bytes: a match beyond them is not seen.
        TitleCase{"MatchBeyondByte254", std::string(250, 'x') + "Tavrel", true, false},
        TitleCase{"ForeignWindowNamedAfterTavrel", "notes on TAVREL.txt", false, false}),
    [](const auto& row) { return std::string(row.param.name); });

// Windows that carry the name without being Tavrel's: they never stop a start.
TEST(Guard, AFolderOrAConsoleNamedAfterTavrelDoesNotRefuseTheStart) {
  FormRig rig;
  const Hwnd folder = rig.windows.Add(nullptr, "tavrel-1.0.0-win64", u"CabinetWClass");
  rig.windows.Add(folder, "アドレス: C:\\Users\\ユーザー\\Downloads\\tavrel-1.0.0-win64",
                  u"ToolbarWindow32");
  rig.windows.Add(nullptr, "コマンド プロンプト - tavrel.exe", u"ConsoleWindowClass");
  rig.Folder("C:\\Users\\ユーザー\\Downloads\\tavrel-1.0.0-win64\\tavrel.exe", {"f.tte", "v.exe"});
  rig.Start();
  EXPECT_TRUE(rig.session.boxes.empty());
  EXPECT_TRUE(rig.window.shown);
}

TEST(Guard, ACopyThatCannotTakeTheLockWaitsForTheHolderThenRefuses) {
  FormRig rig;
  rig.session.lockHeldByAnotherCopy = true;
  EXPECT_THROW(rig.form.Form_Initialize(), ProcessEnded);
  EXPECT_EQ(rig.session.guardSteps, (std::vector<std::string>{"lock", "await"}));
  ASSERT_EQ(rig.session.boxes.size(), 1u);
  EXPECT_EQ(rig.session.boxes[0].text, kRefusal);
}

TEST(Guard, TheHolderAnnouncesItsDecisionAfterTheWindowSearch) {
  FormRig rig;
  rig.form.Form_Initialize();
  EXPECT_EQ(rig.session.guardSteps, (std::vector<std::string>{"lock", "announce"}));
}

}  // namespace
}  // namespace tavrel::fakes
