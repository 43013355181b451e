// Registering files by dropping them on the two boxes, and the link line.
#include <gtest/gtest.h>

#include "window/layout.h"
#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

// Tavrel alone in its folder: both boxes show their prompts.
class Dropping : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Folder(kFolder, {});
    rig.Start();
  }
  RunRig rig;
};

TEST_F(Dropping, EachBoxAcceptsOneFileOfItsOwnKind) {
  const std::tuple<DropBox, std::size_t, const char*, bool> rows[] = {
      {DropBox::Program, 1, "C:\\x\\SETUP.EXE", true},  {DropBox::Font, 1, "C:\\x\\f.TtE", true},
      {DropBox::Font, 1, "D:\\外字\\本.tte", true},      {DropBox::Program, 1, "C:\\x\\f.tte", false},
      {DropBox::Font, 1, "C:\\x\\a.exe", false},        {DropBox::Program, 2, "C:\\x\\a.exe", false},
      {DropBox::Font, 2, "C:\\x\\a.tte", false},        {DropBox::Program, 0, "", false},
      {DropBox::Program, 1, "exe", false},              {DropBox::Program, 1, "C:\\x\\a.LNK", true},
      {DropBox::Font, 1, "C:\\x\\a.lnk", false},
      {DropBox::Font, 1, "C:\\x\\a.tte.bak", false},    {DropBox::Program, 1, "C:\\x.exe\\a", false},
  };
  for (const auto& [box, count, first, accepted] : rows) {
    EXPECT_EQ(rig.run->Accepts(box, DropData{count, first}), accepted) << first << " x" << count;
  }
}

struct RegisterRow {
  const char* name;
  DropBox box;
  const char* dropped;
  const char* registered;
};

// A program is registered under the name its file is stored by, in the
// folder as dropped; a font exactly as dropped.
TEST_F(Dropping, RegistersTheProgramByItsStoredName) {
  rig.files.Add("D:\\Tools\\Setup.exe");
  rig.files.Add("D:\\Tools\\hidden.exe", {}, false);
  rig.files.AddFont("E:\\Fonts\\Mine.tte");
  const RegisterRow rows[] = {
      {"FontAsDropped", DropBox::Font, "E:\\FONTS\\MINE.TTE", "E:\\FONTS\\MINE.TTE"},
      {"StoredName", DropBox::Program, "D:\\Tools\\SETUP.EXE", "D:\\Tools\\Setup.exe"},
      {"FolderAsDropped", DropBox::Program, "d:\\TOOLS\\setup.exe", "d:\\TOOLS\\Setup.exe"},
      {"Vanished", DropBox::Program, "D:\\Gone\\old.exe", "D:\\Gone\\old.exe"},
      {"NotANormalFile", DropBox::Program, "D:\\TOOLS\\HIDDEN.EXE", "D:\\TOOLS\\HIDDEN.EXE"},
  };
  for (const RegisterRow& row : rows) {
    SCOPED_TRACE(row.name);
    rig.run->Dropped(row.box, row.dropped);
    const bool program = row.box == DropBox::Program;
    EXPECT_EQ(program ? rig.view.screen.programCaption : rig.view.screen.fontCaption, row.registered);
    EXPECT_EQ(rig.view.screen.program, program ? row.registered : "");
  }
}

TEST_F(Dropping, TheFontThenTheProgramEnableTheLaunch) {
  rig.files.AddFont("E:\\Fonts\\mine.tte");
  rig.files.Add("D:\\Tools\\a.exe");
  EXPECT_FALSE(rig.view.screen.launchEnabled);
  rig.run->Dropped(DropBox::Font, "E:\\Fonts\\mine.tte");
  EXPECT_FALSE(rig.view.screen.launchEnabled);
  EXPECT_EQ(rig.view.screen.program, "");
  rig.run->Dropped(DropBox::Program, "D:\\Tools\\a.exe");
  EXPECT_TRUE(rig.view.screen.launchEnabled);
  rig.run->LaunchClicked();
  ASSERT_EQ(rig.launcher.StartCount(), 1u);
  EXPECT_EQ(rig.launcher.Started(0).program, u"D:\\Tools\\a.exe");
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont), u"E:\\Fonts\\mine.tte");
}

// A shortcut dropped on the program box is the program it starts: the box,
// the launch and Tavrel.ini have the program, with the shortcut's arguments
// and folder; one that starts no program is told and changes nothing.
TEST_F(Dropping, AShortcutRegistersTheProgramItStarts) {
  rig.files.AddFont("E:\\Fonts\\mine.tte");
  rig.files.Add("D:\\Tools\\a.exe");
  rig.files.AddFolder("C:\\Links");
  ASSERT_EQ(rig.shortcuts.Write(u"C:\\Links\\a.lnk", Shortcut{u"D:\\Tools\\a.exe", u"-w", u"D:\\Data", {}, 0}),
            kSuccess);
  ASSERT_EQ(rig.shortcuts.Write(u"C:\\Links\\web.lnk", Shortcut{}), kSuccess);
  rig.run->Dropped(DropBox::Font, "E:\\Fonts\\mine.tte");
  rig.run->Dropped(DropBox::Program, "C:\\Links\\a.lnk");
  EXPECT_EQ(rig.view.screen.program, "D:\\Tools\\a.exe");
  rig.run->Dropped(DropBox::Program, "C:\\Links\\web.lnk");
  ASSERT_EQ(rig.BoxTexts().size(), 1u);
  EXPECT_TRUE(rig.BoxTexts()[0].starts_with("このショートカットのリンク先はソフト(.exe)ではない")) << rig.BoxTexts()[0];
  rig.run->HandOverReceived(HandOver{true, false, ShowState::Normal, "C:\\Links\\web.lnk", "", ""});
  EXPECT_EQ(rig.launcher.requests.size(), 0u);  // not the program registered before either
  EXPECT_EQ(rig.view.screen.program, "D:\\Tools\\a.exe");
  rig.run->LaunchClicked();
  ASSERT_EQ(rig.launcher.requests.size(), 1u);
  EXPECT_EQ(rig.launcher.requests[0].program, u"D:\\Tools\\a.exe");
  EXPECT_EQ(rig.launcher.requests[0].arguments, u"-w");
  EXPECT_EQ(rig.launcher.requests[0].folder, u"D:\\Data");
  EXPECT_EQ(rig.settings.values["Program"], "D:\\Tools\\a.exe");
}

struct LinkRow {
  ErrorCode error;
  std::vector<std::string> boxes;
};

// Each click opens the home page through the shell, without waiting; a page
// that does not open is told.
TEST(Link, OpensTheHomePageOrTellsWhyNot) {
  const LinkRow rows[] = {
      {kSuccess, {}},
      {kAccessDenied,
       {"ホームページを開けませんでした。\r\nhttp://www.ferroday.example/\r\nアクセスが拒否されました。（エラー 5）"}},
      {0x80004005, {"ホームページを開けませんでした。\r\nhttp://www.ferroday.example/\r\nエラー 0x80004005"}},
  };
  for (const LinkRow& row : rows) {
    RunRig rig;
    Viewer(rig);
    rig.Start();
    rig.launcher.openError = row.error;
    rig.run->LinkClicked();
    rig.run->LinkClicked();
    EXPECT_EQ(rig.launcher.opened, std::vector<std::u16string>(2, u"http://www.ferroday.example/"));
    EXPECT_EQ(rig.launcher.owners, std::vector(2, rig.view.owner));
    std::vector<std::string> boxes = row.boxes;
    if (!boxes.empty()) boxes.push_back(boxes.front());
    EXPECT_EQ(rig.BoxTexts(), boxes);
    EXPECT_EQ(rig.run->WaitHandles().size(), 0u);
  }
}

// The hot rectangle, open on every side, in twips from the line's corner.
TEST(Link, IsHotStrictlyInsideTheWords) {
  const std::tuple<float, float, bool> rows[] = {
      {3000, 150, true},  {50, 150, false},     {50.5f, 150, true},  {6100, 150, false},
      {6099.5f, 150, true}, {3000, 20, false},  {3000, 20.5f, true}, {3000, 300, false},
      {3000, 299.5f, true}, {-1, 150, false},   {7000, 150, false},  {3000, -5, false},
  };
  for (const auto& [x, y, over] : rows) EXPECT_EQ(IsOverLinkText(x, y), over) << x << "," << y;
}

}  // namespace
}  // namespace tavrel::fakes
