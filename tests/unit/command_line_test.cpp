// The command line: tavrel.exe [/run] [/exit] [program] [font.tte], as a
// shortcut or Explorer passes it, and what the window makes of it at start.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "fakes/form_rig.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kGame = "C:\\Games\\old\\game.exe";
constexpr const char* kGaiji = "C:\\Games\\old\\gaiji.tte";
constexpr const char* kSpacedGame = "C:\\Program Files\\古い ゲーム\\ゲーム.exe";
constexpr const char* kSpacedGaiji = "C:\\Program Files\\古い ゲーム\\外字.TTE";

struct ParseRow {
  const char* name;
  const char* arguments;  // what follows "C:\Tools\tavrel.exe" on the command line
  bool run, exit, restore;
  const char* program;
  const char* font;
  std::optional<ArgumentFault> fault;
  const char* faulty;    // the argument the fault names
  const char* fullPath;  // what it resolved to
};

ParseRow Taken(const char* name, const char* arguments, bool run, bool exit, bool restore,
               const char* program, const char* font) {
  return {name, arguments, run, exit, restore, program, font, std::nullopt, "", ""};
}

ParseRow Refused(const char* name, const char* arguments, ArgumentFault fault, const char* faulty,
                 const char* fullPath = "") {
  return {name, arguments, false, false, false, "", "", fault, faulty, fullPath};
}

void PrintTo(const ParseRow& row, std::ostream* os) { *os << row.name; }

class ParsingTheCommandLine : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParsingTheCommandLine, TakesWhatItCanAndNamesWhatItCannot) {
  const ParseRow& row = GetParam();
  FakeSession session;
  FakeFileSystem files;
  for (const char* path : {kGame, kGaiji, kSpacedGame, kSpacedGaiji}) files.AddFile(path);
  files.AddFile("C:\\Games\\old\\hidden.exe", kFileAttributeHidden);
  files.AddFolder("C:\\Games\\old\\folder.tte");
  files.SetCurrentDirectory("C:\\Games\\old");
  session.modulePath = "C:\\Tools\\tavrel.exe";
  session.commandLine = std::string("\"C:\\Tools\\tavrel.exe\" ") + row.arguments;

  const CommandLine parsed = ReadCommandLine(session, files);
  EXPECT_EQ(parsed.run, row.run);
  EXPECT_EQ(parsed.exit, row.exit);
  EXPECT_EQ(parsed.restore, row.restore);
  EXPECT_EQ(parsed.program, row.program);
  EXPECT_EQ(parsed.font, row.font);
  ASSERT_EQ(parsed.error.has_value(), row.fault.has_value());
  if (parsed.error) {
    EXPECT_EQ(parsed.error->fault, *row.fault);
    EXPECT_EQ(parsed.error->argument, row.faulty);
    EXPECT_EQ(parsed.error->fullPath, row.fullPath);
  }
}

INSTANTIATE_TEST_SUITE_P(
    , ParsingTheCommandLine,
    ::testing::Values(
        Taken("Nothing", "", false, false, false, "", ""),
        Taken("ProgramThenFont", "C:\\Games\\old\\game.exe C:\\Games\\old\\gaiji.tte", false, false,
              false, kGame, kGaiji),
        Taken("FontThenProgram", "C:\\Games\\old\\gaiji.tte C:\\Games\\old\\game.exe", false, false,
              false, kGame, kGaiji),
        // Explorer quotes what holds a space when files are dropped onto the icon.
        Taken("QuotedPathsWithSpacesAndJapanese",
              "\"C:\\Program Files\\古い ゲーム\\外字.TTE\" \"C:\\Program Files\\古い ゲーム\\ゲーム.exe\"",
              false, false, false, kSpacedGame, kSpacedGaiji),
        Taken("QuotesAroundPathsWithoutSpaces",
              "/run /exit \"C:\\Games\\old\\game.exe\" \"C:\\Games\\old\\gaiji.tte\"", true, true,
              false, kGame, kGaiji),
        Taken("RelativeToTheCurrentFolder", "game.exe .\\gaiji.tte", false, false, false, kGame,
              kGaiji),
        // The font path is taken as written, as a drop takes it.
        Taken("ExtensionInAnyCase", "GAIJI.TtE", false, false, false, "",
              "C:\\Games\\old\\GAIJI.TtE"),
        Taken("AHiddenProgramIsAFile", "hidden.exe", false, false, false,
              "C:\\Games\\old\\hidden.exe", ""),
        Taken("RunOnly", "/run", true, false, false, "", ""),
        Taken("SwitchesInAnyCaseAndEitherMark", "-RUN /Exit", true, true, false, "", ""),
        Taken("SwitchesAfterThePaths", "game.exe gaiji.tte /EXIT -Run", true, true, false, kGame,
              kGaiji),
        Taken("RestoreInAnyCase", "-RESTORE", false, false, true, "", ""),
        Refused("UnknownSwitch", "/run /bogus game.exe", ArgumentFault::UnknownSwitch, "/bogus"),
        Refused("DoubleDash", "--run", ArgumentFault::UnknownSwitch, "--run"),
        Refused("SwitchWithAValue", "/run:yes", ArgumentFault::UnknownSwitch, "/run:yes"),
        Refused("MarkAlone", "game.exe -", ArgumentFault::UnknownSwitch, "-"),
        Refused("ThirdPath", "game.exe gaiji.tte C:\\Games\\old\\game.exe",
                ArgumentFault::TooManyFiles, "C:\\Games\\old\\game.exe", kGame),
        Refused("TwoPrograms", "game.exe \"C:\\Program Files\\古い ゲーム\\ゲーム.exe\"",
                ArgumentFault::SecondProgram, kSpacedGame, kSpacedGame),
        Refused("TwoFonts", "gaiji.tte GAIJI.TTE", ArgumentFault::SecondFont, "GAIJI.TTE",
                "C:\\Games\\old\\GAIJI.TTE"),
        Refused("MissingProgram", "/run nothere.exe gaiji.tte", ArgumentFault::NoSuchFile,
                "nothere.exe", "C:\\Games\\old\\nothere.exe"),
        Refused("MissingFont", "game.exe \"D:\\外字\\none.tte\"", ArgumentFault::NoSuchFile,
                "D:\\外字\\none.tte", "D:\\外字\\none.tte"),
        Refused("AFolderIsNoFile", "folder.tte", ArgumentFault::NoSuchFile, "folder.tte",
                "C:\\Games\\old\\folder.tte"),
        Refused("WildcardsNameNoFile", "*.exe", ArgumentFault::NoSuchFile, "*.exe",
                "C:\\Games\\old\\*.exe"),
        Refused("AnEmptyArgument", "game.exe \"\"", ArgumentFault::NoSuchFile, "")),
    [](const auto& row) { return std::string(row.param.name); });

// A relative path is shown with where it was looked for; a full one once.
TEST(ArgumentErrorMessage, ShowsWhereAMissingFileWasLookedFor) {
  EXPECT_TRUE(ArgumentErrorMessage({ArgumentFault::NoSuchFile, "a.exe", "C:\\Games\\a.exe"})
                  .starts_with("「a.exe」というファイルが見つかりません。\r\n(C:\\Games\\a.exe)\r\n\r\n使い方"));
  EXPECT_TRUE(ArgumentErrorMessage({ArgumentFault::NoSuchFile, "C:\\a.exe", "C:\\a.exe"})
                  .starts_with("「C:\\a.exe」というファイルが見つかりません。\r\n\r\n使い方"));
}

// --- what the window makes of it ---

class StartingWithArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"f.tte", "viewer.exe"});
    rig_.Program(kGame, 2);
    rig_.files.AddFont(kGaiji);
    rig_.Program("C:\\Games\\old\\plain.exe", 0);
    rig_.files.SetCurrentDirectory("C:\\Games\\old");
    rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  }
  // Form_Initialize then Form_Load with what the command line holds.
  void Start(const std::string& arguments) {
    rig_.session.commandLine = "\"C:\\Apps\\Viewer\\Tavrel.exe\" " + arguments;
    rig_.form.Form_Initialize();
    rig_.form.Form_Load(ReadCommandLine(rig_.session, rig_.files));
  }
  FakeFormWindow& window() { return rig_.window; }

  FormRig rig_;
};

// The program given replaces the one beside the executable, whose icon is
// never loaded; the search still finds the font.
TEST_F(StartingWithArguments, APathIsTakenAsADropAndTheSearchFillsTheRest) {
  Start("/exit plain.exe");
  EXPECT_EQ(window().Caption(Label1(0)), "C:\\Games\\old\\plain.exe");
  EXPECT_EQ(window().Caption(Label1(1)), "C:\\Apps\\Viewer\\f.tte");
  EXPECT_EQ(window().iconOnLaunchButton, nullptr);
  EXPECT_TRUE(window().enabledWhenShown);
  EXPECT_TRUE(window().IsChecked(Control::chkExit));
  EXPECT_TRUE(window().postedClicks.empty());
  EXPECT_TRUE(rig_.session.boxes.empty());
}

TEST_F(StartingWithArguments, RunQueuesALaunchThatRunsOnceTheWindowIsShown) {
  Start("/run /exit gaiji.tte game.exe");
  EXPECT_EQ(window().Caption(Label1(0)), kGame);
  EXPECT_EQ(window().Caption(Label1(1)), kGaiji);
  ASSERT_EQ(window().postedClicks.size(), 1u);
  EXPECT_EQ(window().postedClicks[0].control, Control::cmdExecSoft);
  EXPECT_TRUE(window().postedClicks[0].windowShown);
  EXPECT_TRUE(rig_.shell.calls.empty());

  // The message loop runs it as a click; the program ends, and Tavrel with it.
  std::string fontWhileRunning;
  rig_.processes.Queue([&] { fontWhileRunning = rig_.SystemFont(); });
  EXPECT_THROW(rig_.form.cmdExecSoft_Click(), ProcessEnded);
  ASSERT_EQ(rig_.shell.calls.size(), 1u);
  EXPECT_EQ(rig_.shell.calls[0].file, kGame);
  EXPECT_EQ(fontWhileRunning, kGaiji);
  EXPECT_EQ(rig_.SystemFont(), "C:\\WINDOWS\\EUDC.TTE");
}

TEST(StartingWithRun, WithAFileMissingOnlyShowsTheWindow) {
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"viewer.exe"});  // and no font
  rig.session.commandLine = "\"C:\\Apps\\Viewer\\Tavrel.exe\" /run";
  rig.form.Form_Initialize();
  rig.form.Form_Load(ReadCommandLine(rig.session, rig.files));
  EXPECT_TRUE(rig.window.shown);
  EXPECT_FALSE(rig.window.IsEnabled(Control::cmdExecSoft));
  EXPECT_TRUE(rig.window.postedClicks.empty());
}

TEST_F(StartingWithArguments, ANameNotTakenIsToldThenTheWindowOpensAsWithout) {
  bool shownDuringTheBox = true;
  rig_.session.whileBoxIsShown = [&] { shownDuringTheBox = window().shown; };
  Start("/run /exit game.exe /bogus");

  ASSERT_EQ(rig_.session.boxes.size(), 1u);
  const MessageBoxShown& box = rig_.session.boxes[0];
  EXPECT_EQ(box.caption, "Tavrel");
  EXPECT_EQ(box.style, kMbOk | kMbIconWarning);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_TRUE(box.text.starts_with("起動スイッチ「/bogus」は使えません。"));
  EXPECT_FALSE(shownDuringTheBox);

  EXPECT_TRUE(window().shown);
  EXPECT_EQ(window().Caption(Label1(0)), "C:\\Apps\\Viewer\\viewer.exe");
  EXPECT_EQ(window().Caption(Label1(1)), "C:\\Apps\\Viewer\\f.tte");
  EXPECT_FALSE(window().IsChecked(Control::chkExit));
  EXPECT_TRUE(window().postedClicks.empty());
}

}  // namespace
}  // namespace tavrel::fakes
