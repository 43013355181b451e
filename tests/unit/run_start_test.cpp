// The run's start: the guard against a second copy, the caption, the files
// found beside the executable or named on the command line, /run and /exit.
#include <gtest/gtest.h>

#include "product/version.h"
#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kProgramPrompt[] = "実行するソフトをDrag＆Dropしてください";
constexpr char kFontPrompt[] = "ユーザー外字ファイルをDrag＆Dropしてください。";
const Box kRefusal{"Tavrel は既に起動しています。\r\n利用しているソフトを終了させてください。",
                   BoxIcon::Information, BoxButtons::Ok};

constexpr auto kOwned = IDesktop::InstanceLock::Owned;
constexpr auto kAfterAKill = IDesktop::InstanceLock::OwnedAfterAKill;
constexpr auto kHeld = IDesktop::InstanceLock::HeldByAnother;

struct GuardRow {
  const char* name;
  IDesktop::InstanceLock lock;
  bool holderEndsWithoutWindow, anotherCopyOpen;
  std::vector<std::string> steps;
  bool started;
};

class Guard : public ::testing::TestWithParam<GuardRow> {};

// The refusal comes only after the holder of the lock has looked for another
// copy's window, so that it cannot be taken for one.
TEST_P(Guard, TakesTheLockLooksForAnotherCopyThenDecides) {
  const GuardRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.desktop.lockFree = row.lock != IDesktop::InstanceLock::HeldByAnother;
  rig.desktop.lockAbandoned = row.lock == IDesktop::InstanceLock::OwnedAfterAKill;
  rig.desktop.holderEndsWithoutWindow = row.holderEndsWithoutWindow;
  rig.desktop.anotherCopyOpen = row.anotherCopyOpen;
  EXPECT_EQ(rig.run->GuardSingleInstance(), row.started);
  EXPECT_EQ(rig.desktop.guardSteps, row.steps);
  if (row.started) {
    EXPECT_TRUE(rig.view.shown.empty());
    EXPECT_EQ(rig.run->screen().title, "Tavrel [ Ver." TAVREL_STRINGIFY(TAVREL_VERSION_MAJOR) "." TAVREL_STRINGIFY(
                                           TAVREL_VERSION_MINOR) "." TAVREL_STRINGIFY(TAVREL_VERSION_REVISION) " ]");
  } else {
    ASSERT_EQ(rig.view.shown.size(), 1u);
    EXPECT_EQ(rig.view.shown[0].box, kRefusal);
    EXPECT_EQ(rig.view.shown[0].owner, nullptr);
    EXPECT_EQ(rig.run->screen().title, "");
    EXPECT_EQ(rig.view.shows, 0u);
  }
  EXPECT_EQ(rig.key.writes, 0u);
  EXPECT_TRUE(rig.store.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    , Guard,
    ::testing::Values(GuardRow{"Alone", kOwned, false, false, {"lock", "search", "announce"}, true},
                      // The recovery that follows finds what the killed copy left.
                      GuardRow{"AfterAKill", kAfterAKill, false, false, {"lock", "search", "announce"}, true},
                      GuardRow{"AnotherCopysWindowIsOpen", kOwned, false, true, {"lock", "search", "announce"}, false},
                      GuardRow{"LockHeldElsewhere", kHeld, false, false, {"lock", "await", "wait"}, false},
                      GuardRow{"LockHeldAndWindowOpen", kHeld, false, true, {"lock", "await", "wait"}, false},
                      // A logon's restore or a copy in its last moments: waited for.
                      GuardRow{"HolderEndsWithoutAWindow", kHeld, true, false,
                               {"lock", "await", "wait", "search", "announce"}, true}),
    [](const auto& row) { return std::string(row.param.name); });

struct StartRow {
  const char* name;
  const char* executable;
  std::vector<std::string> entries;  // in listing order; "~" before a file that is not a normal one
  CommandLine commandLine;
  const char* programBox;
  const char* fontBox;
  std::size_t launched;
};

class StartingFiles : public ::testing::TestWithParam<StartRow> {};

// /run launches once the window is up, and only when both files are known.
TEST_P(StartingFiles, FillTheBoxesTheCheckBoxAndTheLaunchButton) {
  const StartRow& row = GetParam();
  RunRig rig;
  rig.desktop.executablePath = row.executable;
  for (const std::string& entry : row.entries) {
    rig.files.Add(entry.substr(entry[0] == '~'), {0x00, 0x01, 0x00, 0x00}, entry[0] != '~');
  }
  rig.run = rig.MakeRun();
  rig.Start(row.commandLine);
  const Screen& screen = rig.view.screen;
  EXPECT_EQ(screen.programCaption, row.programBox);
  EXPECT_EQ(screen.fontCaption, row.fontBox);
  const bool program = std::string(row.programBox) != kProgramPrompt;
  EXPECT_EQ(screen.program, program ? row.programBox : "");
  EXPECT_EQ(screen.launchEnabled, !row.launched && program && std::string(row.fontBox) != kFontPrompt);
  EXPECT_EQ(screen.exitWhenDone, row.commandLine.exit);
  EXPECT_EQ(std::pair(screen.visible, screen.minimized), std::pair(true, row.launched == 1));
  EXPECT_EQ(rig.launcher.StartCount(), row.launched);
  EXPECT_TRUE(rig.view.shown.empty());
}

CommandLine Given(bool run, bool exit, std::string program = {}, std::string font = {}) {
  return CommandLine{run, exit, false, program, font, {}, {}};
}

INSTANTIATE_TEST_SUITE_P(
    , StartingFiles,
    ::testing::Values(
        StartRow{"OwnExecutableSkipped", "C:\\A\\Tavrel.exe",
                 {"C:\\A\\Tavrel.exe", "C:\\A\\zeta.exe", "C:\\A\\omega.exe", "C:\\A\\f.tte", "C:\\A\\g.tte"},
                 {}, "C:\\A\\zeta.exe", "C:\\A\\f.tte", 0},
        StartRow{"OwnNameInAnotherCase", "C:\\A\\tavrel.exe", {"C:\\A\\TAVREL.EXE", "C:\\A\\f.tte"}, {},
                 kProgramPrompt, "C:\\A\\f.tte", 0},
        StartRow{"OnlyNormalFiles", "C:\\A\\Tavrel.exe", {"~C:\\A\\hidden.exe", "~C:\\A\\system.tte", "C:\\A\\b.exe"},
                 {}, "C:\\A\\b.exe", kFontPrompt, 0},
        StartRow{"NotInOtherFolders", "C:\\A\\Tavrel.exe", {"C:\\A\\sub\\x.exe", "C:\\x.tte", "C:\\AB\\y.tte"}, {},
                 kProgramPrompt, kFontPrompt, 0},
        StartRow{"DriveRoot", "C:\\Tavrel.exe", {"C:\\a.tte", "C:\\b.exe"}, {}, "C:\\b.exe", "C:\\a.tte", 0},
        StartRow{"CommandLineFilesFirst", "C:\\A\\Tavrel.exe", {"C:\\A\\v.exe", "C:\\A\\f.tte", "D:\\G\\Game.exe"},
                 Given(false, false, "D:\\G\\GAME.EXE", "D:\\G\\外字.tte"), "D:\\G\\Game.exe", "D:\\G\\外字.tte", 0},
        StartRow{"CommandLineProgramFolderFont", "C:\\A\\Tavrel.exe", {"C:\\A\\v.exe", "C:\\A\\f.tte"},
                 Given(false, false, "D:\\G\\g.exe"), "D:\\G\\g.exe", "C:\\A\\f.tte", 0},
        StartRow{"Exit", "C:\\A\\Tavrel.exe", {"C:\\A\\v.exe", "C:\\A\\f.tte"}, Given(false, true), "C:\\A\\v.exe",
                 "C:\\A\\f.tte", 0},
        StartRow{"Run", "C:\\A\\Tavrel.exe", {"C:\\A\\v.exe", "C:\\A\\f.tte"}, Given(true, true), "C:\\A\\v.exe",
                 "C:\\A\\f.tte", 1},
        StartRow{"RunWithoutAFont", "C:\\A\\Tavrel.exe", {"C:\\A\\v.exe"}, Given(true, false), "C:\\A\\v.exe",
                 kFontPrompt, 0}),
    [](const auto& row) { return std::string(row.param.name); });

// An argument not taken is told before the window shows, which then opens as without any.
TEST(Start, AnArgumentNotTakenIsToldBeforeTheWindow) {
  RunRig rig;
  Viewer(rig);
  std::optional<bool> visibleDuringTheBox;
  rig.view.whileShown = [&](const Box&) { visibleDuringTheBox = rig.view.screen.visible; };
  const ArgumentError error{ArgumentFault::UnknownSwitch, "/bogus", ""};
  rig.Start(CommandLine{false, false, false, {}, {}, {}, error});
  ASSERT_EQ(rig.view.shown.size(), 1u);
  EXPECT_EQ(rig.view.shown[0].box, (Box{rig.run->texts().ArgumentErrorMessage(error), BoxIcon::Warning, BoxButtons::Ok}));
  EXPECT_EQ(rig.view.shown[0].owner, nullptr);
  EXPECT_EQ(visibleDuringTheBox, false);
  EXPECT_TRUE(rig.view.screen.visible);
  EXPECT_EQ(rig.view.screen.programCaption, kProgram);
  EXPECT_TRUE(rig.view.screen.launchEnabled);
}

}  // namespace
}  // namespace tavrel::fakes
