// How Windows splits a command line into arguments (CommandLineToArgvW):
// against the fake session on the host, against shell32 under Wine. The fake
// splits the command lines of the host tests, so it must split as Windows does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/session_api.h"
#include "platform/text.h"

namespace tavrel::testing {

struct SplitRow {
  const char* line;
  std::vector<std::string> arguments;
};

template <typename Backend>
class CommandLineSuite : public ::testing::Test {
 protected:
  std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> out;
    for (const std::u16string& argument : backend_.session().CommandLineToArgvW(Utf8ToUtf16(line))) {
      out.push_back(Utf16ToUtf8(argument));
    }
    return out;
  }
  Backend backend_;
};

TYPED_TEST_SUITE_P(CommandLineSuite);

TYPED_TEST_P(CommandLineSuite, SplitsAsWindowsDoes) {
  const SplitRow rows[] = {
      {"t.exe a b", {"t.exe", "a", "b"}},
      {"t.exe\ta\t\tb  ", {"t.exe", "a", "b"}},
      {"t.exe \"a b\" c", {"t.exe", "a b", "c"}},
      {"t.exe \"C:\\ゲーム フォルダ\\外字.tte\"", {"t.exe", "C:\\ゲーム フォルダ\\外字.tte"}},
      {"t.exe \"a\"b", {"t.exe", "ab"}},
      {"t.exe \"\" x", {"t.exe", "", "x"}},
      {"t.exe \"unterminated x", {"t.exe", "unterminated x"}},
      // Backslashes: 2n before a quote give n, 2n+1 give n and a literal
      // quote, any others are themselves.
      {"t.exe \"C:\\dir\\\" x", {"t.exe", "C:\\dir\" x"}},
      {"t.exe a\\\\\"b c\" d", {"t.exe", "a\\b c", "d"}},
      {"t.exe a\\\\\\\"b", {"t.exe", "a\\\"b"}},
      {"t.exe a\\b\\ c", {"t.exe", "a\\b\\", "c"}},
      // Two quotes inside a quoted part: one literal quote, and the part ends.
      {"t.exe \"a\"\"b\" c", {"t.exe", "a\"b c"}},
      // The program's name: up to its closing quote, or to the first blank.
      {"\"C:\\x y\\t.exe\" a", {"C:\\x y\\t.exe", "a"}},
      {"\"t x\"y a", {"t x", "y", "a"}},
      {"C:\\a\\\"b\" c", {"C:\\a\\\"b\"", "c"}},
      {" t.exe a", {"", "t.exe", "a"}},
      // The program's name alone, as from a double click.
      {"t.exe", {"t.exe"}},
      {"t.exe \t ", {"t.exe"}},
      {"\"C:\\x y\\t.exe\"", {"C:\\x y\\t.exe"}},
      {"\"C:\\x y\\t.exe\"  ", {"C:\\x y\\t.exe"}},
      {"\"C:\\x y\\t.exe", {"C:\\x y\\t.exe"}},
      {"\"t x\"y", {"t x", "y"}},
  };
  for (const SplitRow& row : rows) EXPECT_EQ(this->Split(row.line), row.arguments) << row.line;
}

TYPED_TEST_P(CommandLineSuite, AnEmptyLineGivesTheProgramsOwnPath) {
  EXPECT_EQ(this->Split(""), std::vector<std::string>{this->backend_.session().ModulePath()});
}

REGISTER_TYPED_TEST_SUITE_P(CommandLineSuite, SplitsAsWindowsDoes,
                            AnEmptyLineGivesTheProgramsOwnPath);

}  // namespace tavrel::testing
