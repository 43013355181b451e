// The program started as Explorer would: in its own folder, with what follows
// "--", in the shortcut's window state; a start the user refused ends there;
// the last pair is remembered for a Tavrel kept in a folder of its own.
#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kTools[] = "C:\\Tools";
constexpr char kGame[] = "D:\\Games\\Old\\game.exe";
constexpr char16_t kGaiji[] = u"D:\\Games\\Old\\gaiji.tte";

struct QuoteRow {
  const char* given;
  const char* quoted;
};

// Each as a program splitting its command line the usual way gets it back.
TEST(ProgramArguments, AreQuotedOnlyWhereTheyNeedIt) {
  const QuoteRow rows[] = {{"-window", "-window"},
                           {"", "\"\""},
                           {"two words", "\"two words\""},
                           {"say \"hi\"", "\"say \\\"hi\\\"\""},
                           {"C:\\dir\\", "C:\\dir\\"},
                           {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
                           {"a\\\"b", "\"a\\\\\\\"b\""}};
  for (const QuoteRow& row : rows) EXPECT_EQ(QuoteArgument(row.given), row.quoted) << row.given;
  FakeFiles files;
  files.Add(kGame);
  const CommandLine parsed = ParseArguments({"/run", kGame, "--", "-window", "/exit", "a b"}, files);
  EXPECT_TRUE(parsed.run);
  EXPECT_FALSE(parsed.exit);  // after "--" it is the program's
  EXPECT_EQ(parsed.programArguments, "-window /exit \"a b\"");
  EXPECT_EQ(ParseArguments({kGame}, files).programArguments, "");
}

class ExplorerStart : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Folder(kTools, {});
    rig.files.Add(kGame);
    rig.files.AddFont(Utf16ToUtf8(kGaiji));
    rig.key.values = ViewerKey();
  }
  CommandLine Named(bool run, std::string arguments = {}) {
    return CommandLine{run, false, false, kGame, Utf16ToUtf8(kGaiji), std::move(arguments), {}};
  }
  RunRig rig;
};

TEST_F(ExplorerStart, RunsInItsOwnFolderWithItsArgumentsAndTheShortcutsWindowState) {
  rig.run->Open(Named(true, "-window"), ShowState::Minimized);
  ASSERT_EQ(rig.launcher.requests.size(), 1u);
  const StartRequest& request = rig.launcher.requests[0];
  EXPECT_EQ(request.program, Utf8ToUtf16(kGame));
  EXPECT_EQ(request.folder, u"D:\\Games\\Old");
  EXPECT_EQ(request.arguments, u"-window");
  EXPECT_EQ(request.show, ShowState::Minimized);
  EXPECT_FALSE(rig.view.screen.minimized && rig.run->state() != RunState::Waiting);
  // A program dropped since is started plainly.
  rig.EndProgram(0);
  rig.run->Dropped(DropBox::Program, kGame);
  rig.run->LaunchClicked();
  ASSERT_EQ(rig.launcher.requests.size(), 2u);
  EXPECT_EQ(rig.launcher.requests[1].arguments, u"");
  EXPECT_EQ(rig.launcher.requests[1].show, ShowState::Normal);
}

// However the program was found: beside Tavrel, or the pair remembered.
TEST_F(ExplorerStart, ArgumentsReachAProgramTheCommandLineDidNotName) {
  rig.Folder(kTools, {"game.exe", "gaiji.tte"});
  rig.run->Open(CommandLine{true, false, false, {}, {}, "-window", {}}, ShowState::Maximized);
  ASSERT_EQ(rig.launcher.requests.size(), 1u);
  EXPECT_EQ(rig.launcher.requests[0].program, u"C:\\Tools\\game.exe");
  EXPECT_EQ(std::pair(rig.launcher.requests[0].arguments, rig.launcher.requests[0].show),
            std::pair(std::u16string(u"-window"), ShowState::Maximized));
}

TEST_F(ExplorerStart, WithoutRunTheWindowOpensInTheShortcutsState) {
  rig.run->Open(Named(false), ShowState::Minimized);
  EXPECT_TRUE(rig.view.screen.visible && rig.view.screen.minimized);
}

// The user refused the start at the shell's prompt: nothing else starts,
// the settings are back at once, and nothing is told.
TEST_F(ExplorerStart, ACancelledStartStartsNothingAndSaysNothing) {
  rig.launcher.startError = kCancelled;
  rig.run->Open(Named(false));
  rig.run->LaunchClicked();
  EXPECT_EQ(rig.launcher.requests.size(), 1u);
  EXPECT_EQ(rig.launcher.StartCount(), 0u);
  EXPECT_EQ(rig.key.values, ViewerKey());
  EXPECT_FALSE(rig.store.record);
  EXPECT_TRUE(rig.view.shown.empty());
  EXPECT_TRUE(rig.view.screen.launchEnabled && !rig.view.screen.minimized);
  EXPECT_TRUE(rig.settings.values.empty());
}

struct RememberRow {
  const char* name;
  bool writable, fontStillThere;
  bool programShown, fontShown;
};

class RememberedPair : public ExplorerStart, public ::testing::WithParamInterface<RememberRow> {};

TEST_P(RememberedPair, FillsTheBoxesANextPlainStartLeavesEmpty) {
  const RememberRow& row = GetParam();
  rig.settings.writable = row.writable;
  rig.run->Open(Named(false));
  rig.run->LaunchClicked();
  rig.EndProgram(0);
  if (!row.fontStillThere) {
    std::erase_if(rig.files.files, [](const FakeFiles::File& f) { return f.path == Utf16ToUtf8(kGaiji); });
  }
  rig.StartAgain();
  EXPECT_EQ(rig.view.screen.programCaption, row.programShown ? kGame : "実行するソフトをDrag＆Dropしてください");
  EXPECT_EQ(rig.view.screen.fontCaption, row.fontShown ? Utf16ToUtf8(kGaiji)
                                                       : "ユーザー外字ファイルをDrag＆Dropしてください。");
  EXPECT_EQ(rig.view.screen.launchEnabled, row.programShown && row.fontShown);
}

INSTANTIATE_TEST_SUITE_P(, RememberedPair,
                         ::testing::Values(RememberRow{"Remembered", true, true, true, true},
                                           RememberRow{"FontGoneSince", true, false, true, false},
                                           RememberRow{"FolderNotWritable", false, true, false, false}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel::fakes
