// The Open dialog of each file box: what it lists and where it starts.
#include <gtest/gtest.h>

#include "window/file_choice.h"

namespace tavrel {
namespace {

struct ChoiceRow {
  Control box;
  const char* shown;
  const char* tavrel;
  Text filterName;
  const char* patterns;
  std::vector<std::string> folders;
};

void PrintTo(const ChoiceRow& row, std::ostream* out) { *out << ControlId(row.box) << " " << row.shown; }

class Choice : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(Choice, ListsTheBoxsKindAndStartsBesideItsFile) {
  const ChoiceRow& row = GetParam();
  const FileChoice choice = ChoiceFor(row.box, row.shown, row.tavrel);
  EXPECT_EQ(choice.filterName, row.filterName);
  EXPECT_STREQ(choice.patterns, row.patterns);
  EXPECT_EQ(choice.folders, row.folders);
}

constexpr const char* kTavrel = "C:\\Tools\\tavrel.exe";
constexpr const char* kPrompt = "実行するソフトをDrag＆Dropしてください";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, Choice, ::testing::Values(
    // the folder of the file shown, then Tavrel's
    ChoiceRow{Control::ProgramBox, "D:\\Games\\old\\game.exe", kTavrel, Text::ProgramFilter, "*.exe;*.lnk",
              {"D:\\Games\\old", "C:\\Tools"}},
    ChoiceRow{Control::FontBox, "D:\\Games\\old\\gaiji.tte", kTavrel, Text::FontFilter, "*.tte",
              {"D:\\Games\\old", "C:\\Tools"}},
    // a prompt is no file: Tavrel's folder alone
    ChoiceRow{Control::ProgramBox, kPrompt, kTavrel, Text::ProgramFilter, "*.exe;*.lnk", {"C:\\Tools"}},
    ChoiceRow{Control::FontBox, "", kTavrel, Text::FontFilter, "*.tte", {"C:\\Tools"}},
    // beside Tavrel: once
    ChoiceRow{Control::FontBox, "C:\\Tools\\gaiji.tte", kTavrel, Text::FontFilter, "*.tte", {"C:\\Tools"}},
    // a drive's root keeps its backslash
    ChoiceRow{Control::ProgramBox, "E:\\game.exe", "F:\\tavrel.exe", Text::ProgramFilter, "*.exe;*.lnk",
              {"E:\\", "F:\\"}},
    // a share's file; a text that only looks like a share is none
    ChoiceRow{Control::FontBox, "\\\\server\\games\\gaiji.tte", kTavrel, Text::FontFilter, "*.tte",
              {"\\\\server\\games", "C:\\Tools"}},
    ChoiceRow{Control::FontBox, "\\\\server\\gaiji.tte", kTavrel, Text::FontFilter, "*.tte", {"C:\\Tools"}},
    // a relative name is no file to start beside
    ChoiceRow{Control::ProgramBox, "old\\game.exe", kTavrel, Text::ProgramFilter, "*.exe;*.lnk",
              {"C:\\Tools"}}));
// clang-format on

}  // namespace
}  // namespace tavrel
