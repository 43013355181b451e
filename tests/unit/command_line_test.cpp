// The command line: tavrel.exe [/run] [/exit] [program] [font.tte], as a
// shortcut or Explorer passes it, and the box for an argument not taken.
#include <gtest/gtest.h>

#include "command_line/command_line.h"
#include "texts/texts.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

constexpr char kGame[] = "C:\\Games\\old\\game.exe";
constexpr char kGaiji[] = "C:\\Games\\old\\gaiji.tte";
constexpr char kSpacedGame[] = "C:\\Program Files\\古い ゲーム\\ゲーム.exe";
constexpr char kSpacedGaiji[] = "C:\\Program Files\\古い ゲーム\\外字.TTE";

struct ParseRow {
  const char* name;
  std::vector<std::string> arguments;
  bool run, exit, restore;
  const char* program;
  const char* font;
  std::optional<ArgumentFault> fault;
  const char* faulty;    // the argument the fault names
  const char* fullPath;  // what it was made into
};

ParseRow Taken(const char* name, std::vector<std::string> arguments, bool run, bool exit,
               bool restore, const char* program, const char* font) {
  return {name, std::move(arguments), run, exit, restore, program, font, std::nullopt, "", ""};
}

ParseRow Refused(const char* name, std::vector<std::string> arguments, ArgumentFault fault,
                 const char* faulty, const char* fullPath = "") {
  return {name, std::move(arguments), false, false, false, "", "", fault, faulty, fullPath};
}

class ParsingArguments : public ::testing::TestWithParam<ParseRow> {};

// What is refused leaves everything else empty: the start goes on as without arguments.
TEST_P(ParsingArguments, TakesWhatItCanAndNamesWhatItCannot) {
  const ParseRow& row = GetParam();
  FakeFiles files;
  for (const char* path : {kGame, kSpacedGame}) files.Add(path);
  for (const char* path : {kGaiji, kSpacedGaiji}) files.AddFont(path);
  files.Add("C:\\Games\\old\\text.tte", {'t', 'e', 'x', 't'});
  files.Add("C:\\Games\\old\\hidden.exe", {}, false);
  files.AddFolder("C:\\Games\\old\\folder.tte");
  files.currentFolder = "C:\\Games\\old";

  const CommandLine parsed = ParseArguments(row.arguments, files);
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
    , ParsingArguments,
    ::testing::Values(
        Taken("Nothing", {}, false, false, false, "", ""),
        Taken("ProgramThenFont", {kGame, kGaiji}, false, false, false, kGame, kGaiji),
        Taken("FontThenProgram", {kGaiji, kGame}, false, false, false, kGame, kGaiji),
        Taken("JapaneseWithSpaces", {kSpacedGaiji, kSpacedGame}, false, false, false, kSpacedGame,
              kSpacedGaiji),
        Taken("RelativeToTheCurrentFolder", {"game.exe", "gaiji.tte"}, false, false, false, kGame, kGaiji),
        // The path as given, as a drop takes it.
        Taken("ExtensionInAnyCase", {"GAIJI.TtE"}, false, false, false, "", "C:\\Games\\old\\GAIJI.TtE"),
        Taken("AHiddenProgramIsAFile", {"hidden.exe"}, false, false, false, "C:\\Games\\old\\hidden.exe", ""),
        Taken("Run", {"/run"}, true, false, false, "", ""),
        Taken("SwitchesInAnyCaseAndEitherMark", {"-RUN", "/Exit"}, true, true, false, "", ""),
        Taken("SwitchesAfterThePaths", {"game.exe", "gaiji.tte", "/EXIT", "-Run"}, true, true, false,
              kGame, kGaiji),
        Taken("Restore", {"-ReStOrE"}, false, false, true, "", ""),
        Refused("UnknownSwitch", {"/run", "/bogus", "game.exe"}, ArgumentFault::UnknownSwitch, "/bogus"),
        Refused("SwitchWithAValue", {"/run:yes"}, ArgumentFault::UnknownSwitch, "/run:yes"),
        Refused("MarkAlone", {"game.exe", "-"}, ArgumentFault::UnknownSwitch, "-"),
        Refused("ThirdPath", {"game.exe", "gaiji.tte", kGame}, ArgumentFault::TooManyFiles, kGame, kGame),
        Refused("TwoPrograms", {"game.exe", kSpacedGame}, ArgumentFault::SecondProgram, kSpacedGame,
                kSpacedGame),
        Refused("TwoFonts", {"gaiji.tte", "GAIJI.TTE"}, ArgumentFault::SecondFont, "GAIJI.TTE",
                "C:\\Games\\old\\GAIJI.TTE"),
        Refused("MissingProgram", {"/run", "nothere.exe", "gaiji.tte"}, ArgumentFault::NoSuchFile,
                "nothere.exe", "C:\\Games\\old\\nothere.exe"),
        Refused("MissingFont", {"game.exe", "D:\\外字\\none.tte"}, ArgumentFault::NoSuchFile,
                "D:\\外字\\none.tte", "D:\\外字\\none.tte"),
        Refused("AFolderIsNoFile", {"folder.tte"}, ArgumentFault::NoSuchFile, "folder.tte",
                "C:\\Games\\old\\folder.tte"),
        Refused("AnEmptyArgument", {"game.exe", ""}, ArgumentFault::NoSuchFile, ""),
        Refused("AFontThatIsNone", {"game.exe", "text.tte"}, ArgumentFault::NotAFont, "text.tte",
                "C:\\Games\\old\\text.tte")),
    [](const auto& row) { return std::string(row.param.name); });

// Each box says what is wrong first, with where a relative path was looked
// for, then how Tavrel is started.
TEST(ArgumentErrorMessage, NamesTheArgumentThenShowsTheUsage) {
  const std::pair<ArgumentError, std::string> rows[] = {
      {{ArgumentFault::UnknownSwitch, "/bogus", ""}, "起動スイッチ「/bogus」は使えません。"},
      {{ArgumentFault::TooManyFiles, "x.exe", "C:\\x.exe"},
       "「x.exe」は指定できません。指定できるファイルは、ソフトと外字ファイルの2つまでです。"},
      {{ArgumentFault::SecondProgram, "b.exe", "C:\\b.exe"}, "「b.exe」は指定できません。ソフトは1つしか指定できません。"},
      {{ArgumentFault::SecondFont, "b.tte", "C:\\b.tte"},
       "「b.tte」は指定できません。外字ファイル(.tte)は1つしか指定できません。"},
      {{ArgumentFault::NoSuchFile, "a.exe", "C:\\Games\\a.exe"},
       "「a.exe」というファイルが見つかりません。\r\n(C:\\Games\\a.exe)"},
      {{ArgumentFault::NoSuchFile, "C:\\a.exe", "C:\\a.exe"}, "「C:\\a.exe」というファイルが見つかりません。"},
      {{ArgumentFault::NoSuchFile, "", ""}, "「」というファイルが見つかりません。"},
      {{ArgumentFault::NotAFont, "a.tte", "C:\\a.tte"},
       "「a.tte」は、読み込めないか、フォントファイル(TrueType または OpenType)ではありません。"},
  };
  for (const auto& [error, first] : rows) {
    const std::string text = Texts(Language::Japanese).ArgumentErrorMessage(error);
    EXPECT_TRUE(text.starts_with(first + "\r\n\r\n使い方: tavrel.exe [/run] [/exit] [ソフト] [外字ファイル.tte] [-- ソフトに渡す引数]\r\n"))
        << text;
    EXPECT_TRUE(text.ends_with("\r\n\r\nコマンドラインの指定は使わずに、ウィンドウを開きます。")) << text;
  }
}

}  // namespace
}  // namespace tavrel::fakes
