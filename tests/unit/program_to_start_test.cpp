// What starts for a program given: the file itself, or a shortcut's program
// with its arguments and folder; and the shortcuts that start none.
#include <gtest/gtest.h>

#include "shortcuts/program_to_start.h"
#include "base/text.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

constexpr char kGame[] = "C:\\Games\\Old\\game.exe";
using Refusal = ProgramRefusal;

TEST(ResolvingAProgram, StartsWhatTheShortcutPointsAtOrRefusesIt) {
  FakeFiles files;
  FakeShortcuts shortcuts{files};
  files.AddFolder("C:\\L");
  files.AddFolder("C:\\Games\\Dir.exe");
  files.Add(kGame);
  files.Add("C:\\Docs\\read.txt");
  files.Add("C:\\L\\broken.lnk");  // no shortcut inside
  const auto link = [&](const char* name, const char* target, const char16_t* arguments, const char16_t* folder) {
    const std::string path = std::string("C:\\L\\") + name;
    (void)shortcuts.Write(Utf8ToUtf16(path), Shortcut{Utf8ToUtf16(target), arguments, folder, {}, 0});
    return path;
  };
  const struct {
    std::string given;
    const char* program;
    const char* arguments;
    const char* folder;
    Refusal refusal;
    const char* target;  // named in the refusal
  } rows[] = {
      {kGame, kGame, "", "C:\\Games\\Old", Refusal::None, ""},
      {link("a.lnk", kGame, u"-w \"a b\"", u"D:\\Saves"), kGame, "-w \"a b\"", "D:\\Saves", Refusal::None, ""},
      {link("B.LNK", kGame, u"", u""), kGame, "", "C:\\Games\\Old", Refusal::None, ""},
      {link("dir.lnk", "C:\\Games\\Dir.exe", u"", u""), "", "", "", Refusal::NotAProgram, "C:\\Games\\Dir.exe"},
      {link("doc.lnk", "C:\\Docs\\read.txt", u"", u""), "", "", "", Refusal::NotAProgram, "C:\\Docs\\read.txt"},
      {link("web.lnk", "", u"", u""), "", "", "", Refusal::NotAProgram, ""},
      {link("gone.lnk", "C:\\Gone\\g.exe", u"", u""), "", "", "", Refusal::TargetMissing, "C:\\Gone\\g.exe"},
      {"C:\\L\\broken.lnk", "", "", "", Refusal::LinkUnreadable, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given);
    const ProgramToStart start = ResolveProgram(row.given, shortcuts, files);
    EXPECT_EQ(start.program, row.program);
    EXPECT_EQ(start.arguments, row.arguments);
    EXPECT_EQ(start.folder, row.folder);
    EXPECT_EQ(start.refusal, row.refusal);
    EXPECT_EQ(start.target, row.target);
    EXPECT_EQ(start.error != kSuccess, row.refusal == Refusal::LinkUnreadable);
  }
}

}  // namespace
}  // namespace tavrel::fakes
