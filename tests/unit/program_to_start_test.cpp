// What starts for a program given: the file itself, or a shortcut's program
// with its arguments and folder; and the shortcuts that start none.
#include <gtest/gtest.h>

#include "app/program_to_start.h"
#include "base/text.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

constexpr char kGame[] = "C:\\Games\\Old\\game.exe";
constexpr ErrorCode kNotALink = 0x80004005;

class ResolvingAProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddFolder("C:\\Links");
    files.AddFolder("C:\\Games\\Old");
    files.AddFolder("C:\\Games\\Dir.exe");
    files.Add(kGame);
    files.Add("C:\\Docs\\read.txt");
    files.Add("C:\\Links\\broken.lnk");  // no shortcut inside
  }
  // A shortcut in C:\Links to `target`.
  std::string Link(const char* name, const char* target, const char* arguments = "", const char* folder = "") {
    const std::string path = std::string("C:\\Links\\") + name;
    EXPECT_EQ(shortcuts.Write(Utf8ToUtf16(path), Shortcut{Utf8ToUtf16(target), Utf8ToUtf16(arguments),
                                                            Utf8ToUtf16(folder), {}, 0}),
              kSuccess);
    return path;
  }
  FakeFiles files;
  FakeShortcuts shortcuts{files};
};

ProgramToStart Starts(std::string program, std::string arguments, std::string folder) {
  ProgramToStart start;
  start.program = std::move(program);
  start.arguments = std::move(arguments);
  start.folder = std::move(folder);
  return start;
}

ProgramToStart Refused(ProgramRefusal refusal, std::string target, ErrorCode error = kSuccess) {
  ProgramToStart refused;
  refused.refusal = refusal;
  refused.target = std::move(target);
  refused.error = error;
  return refused;
}

TEST_F(ResolvingAProgram, StartsWhatTheShortcutPointsAtOrRefusesIt) {
  const struct {
    const char* name;
    std::string given;
    ProgramToStart expected;
  } rows[] = {
      {"AProgramItself", kGame, Starts(kGame, "", "C:\\Games\\Old")},
      {"AShortcutsArgumentsAndFolder", Link("a.lnk", kGame, "-window \"a b\"", "D:\\Saves"),
       Starts(kGame, "-window \"a b\"", "D:\\Saves")},
      {"WithoutAFolderInTheProgramsOwn", Link("B.LNK", kGame), Starts(kGame, "", "C:\\Games\\Old")},
      {"AFolder", Link("folder.lnk", "C:\\Games\\Old"), Refused(ProgramRefusal::NotAProgram, "C:\\Games\\Old")},
      {"AFolderNamedLikeAProgram", Link("dir.lnk", "C:\\Games\\Dir.exe"),
       Refused(ProgramRefusal::NotAProgram, "C:\\Games\\Dir.exe")},
      {"ADocument", Link("doc.lnk", "C:\\Docs\\read.txt"), Refused(ProgramRefusal::NotAProgram, "C:\\Docs\\read.txt")},
      {"AnAddress", Link("web.lnk", ""), Refused(ProgramRefusal::NotAProgram, "")},
      {"AnotherShortcut", Link("link.lnk", "C:\\Links\\a.lnk"),
       Refused(ProgramRefusal::NotAProgram, "C:\\Links\\a.lnk")},
      {"AMissingProgram", Link("gone.lnk", "C:\\Gone\\game.exe"),
       Refused(ProgramRefusal::TargetMissing, "C:\\Gone\\game.exe")},
      {"NoShortcutInside", "C:\\Links\\broken.lnk", Refused(ProgramRefusal::LinkUnreadable, "", kNotALink)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ProgramToStart start = ResolveProgram(row.given, shortcuts, files);
    EXPECT_EQ(start.program, row.expected.program);
    EXPECT_EQ(start.arguments, row.expected.arguments);
    EXPECT_EQ(start.folder, row.expected.folder);
    EXPECT_EQ(start.refusal, row.expected.refusal);
    EXPECT_EQ(start.target, row.expected.target);
    EXPECT_EQ(start.error, row.expected.error);
  }
}

// A shortcut's own arguments come first, then those given after "--".
TEST(JoiningArguments, PutsTheShortcutsFirstWithOneBlank) {
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"", "", ""}, {"-a", "", "-a"}, {"", "-b", "-b"}, {"-a \"x y\"", "-b", "-a \"x y\" -b"}};
  for (const auto& [first, second, joined] : rows) EXPECT_EQ(JoinArguments(first, second), joined);
}

}  // namespace
}  // namespace tavrel::fakes
