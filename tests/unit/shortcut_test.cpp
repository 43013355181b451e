// The system menu's shortcut on the desktop: what it starts, the question
// before a file of its name is replaced, and what the user is told.
#include <gtest/gtest.h>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr char kDesktop[] = "C:\\Users\\user\\Desktop";
constexpr char kCreated[] = "デスクトップにショートカットを作成しました。\r\n";
constexpr char kNotCreated[] = "デスクトップにショートカットを作成できませんでした。\r\n";

struct ShortcutRow {
  const char* program;
  const char* font;
  const char* name;
  const char* workingFolder;
};

TEST(Shortcut, RunsTheProgramWithItsFontThroughTavrelInTheProgramsFolder) {
  const ShortcutRow rows[] = {
      {kProgram, "C:\\Apps\\Viewer\\mine.tte", "viewer (外字).lnk", "C:\\Apps\\Viewer"},
      {"D:\\古い ゲーム\\my.game.EXE", "E:\\外字.tte", "my.game (外字).lnk", "D:\\古い ゲーム"},
      {"C:\\APP.exe", "C:\\a.tte", "APP (外字).lnk", "C:\\"},
  };
  for (const ShortcutRow& row : rows) {
    SCOPED_TRACE(row.program);
    RunRig rig;
    Viewer(rig);
    rig.files.Add(row.program);
    CommandLine line;
    line.program = row.program;
    line.font = row.font;
    rig.Start(line);
    EXPECT_TRUE(rig.view.screen.shortcutOffered);
    rig.run->ShortcutRequested();
    const std::u16string file = Utf8ToUtf16(std::string(kDesktop) + "\\" + row.name);
    const std::string arguments = std::string("/run /exit \"") + row.program + "\" \"" + row.font + "\"";
    const std::map<std::u16string, Shortcut> expected{
        {file, Shortcut{u"C:\\Apps\\Viewer\\Tavrel.exe", Utf8ToUtf16(arguments),
                        Utf8ToUtf16(row.workingFolder), Utf8ToUtf16(row.program), 0}}};
    EXPECT_EQ(rig.shortcuts.written, expected);
    EXPECT_EQ(Boxes(rig), std::vector{Box{kCreated + std::string(row.name)}});
    ASSERT_EQ(rig.view.shown.size(), 1u);
    EXPECT_EQ(rig.view.shown[0].owner, rig.view.owner);
  }
}

TEST(Shortcut, AFileOfItsNameIsReplacedOnlyAfterTheUserSaysYes) {
  const std::string file = std::string(kDesktop) + "\\viewer (外字).lnk";
  const Box question{"デスクトップに同じ名前のファイルがあります。上書きしますか？\r\n" + file, BoxIcon::Question,
                     BoxButtons::YesNo};
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes);
    RunRig rig;
    Viewer(rig);
    rig.files.Add(file);
    rig.Start();
    rig.view.answers = {yes};
    rig.run->ShortcutRequested();
    EXPECT_EQ(rig.shortcuts.written.size(), yes ? 1u : 0u);
    std::vector<Box> expected{question};
    if (yes) expected.push_back(Box{std::string(kCreated) + "viewer (外字).lnk"});
    EXPECT_EQ(Boxes(rig), expected);
  }
}

struct FailureRow {
  const char* name;
  const char16_t* desktop;
  ErrorCode desktopError, writeError;
  std::string told;  // after the first line
};

TEST(Shortcut, AFailureIsToldWithThePathAndTheSystemsText) {
  const FailureRow rows[] = {
      {"WriteDenied", u"C:\\Users\\user\\Desktop", kSuccess, kAccessDenied,
       "C:\\Users\\user\\Desktop\\viewer (外字).lnk\r\nアクセスが拒否されました。（エラー 5）"},
      {"DesktopGone", u"C:\\Users\\user\\Gone", kSuccess, kSuccess,
       "C:\\Users\\user\\Gone\\viewer (外字).lnk\r\n指定されたパスが見つかりません。（エラー 3）"},
      {"DesktopUnknown", u"", 0x80004005, kSuccess, "viewer (外字).lnk\r\nエラー 0x80004005"},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.name);
    RunRig rig;
    Viewer(rig);
    rig.Start();
    rig.shortcuts.desktop = FolderPath{row.desktop, row.desktopError};
    rig.shortcuts.writeError = row.writeError;
    rig.run->ShortcutRequested();
    EXPECT_TRUE(rig.shortcuts.written.empty());
    EXPECT_EQ(Boxes(rig), (std::vector{Box{kNotCreated + row.told, BoxIcon::Warning}}));
  }
}

// The item waits for both files, whichever comes last.
TEST(Shortcut, IsOfferedOnlyOnceBothFilesAreKnown) {
  const std::vector<std::string> rows[] = {{}, {"viewer.exe"}, {"mine.tte"}};
  for (const std::vector<std::string>& beside : rows) {
    SCOPED_TRACE(beside.empty() ? "none" : beside[0]);
    RunRig rig;
    rig.Folder(kFolder, beside);
    rig.files.AddFont("E:\\f.tte");
    rig.files.Add("E:\\a.exe");
    rig.Start();
    EXPECT_FALSE(rig.view.screen.shortcutOffered);
    rig.run->ShortcutRequested();
    EXPECT_TRUE(rig.shortcuts.written.empty());
    EXPECT_TRUE(rig.view.shown.empty());
    rig.run->Dropped(DropBox::Program, "E:\\a.exe");
    rig.run->Dropped(DropBox::Font, "E:\\f.tte");
    EXPECT_TRUE(rig.view.screen.shortcutOffered);
  }
}

}  // namespace
}  // namespace tavrel::fakes
