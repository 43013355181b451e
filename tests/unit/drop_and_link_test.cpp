// Registering files by dropping them on the boxes, and the link line.
#include <gtest/gtest.h>

#include "app/command_routing.h"
#include "fakes/form_rig.h"

namespace tavrel::fakes {
namespace {

class Dropping : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Folder("C:\\Apps\\Viewer\\Tavrel.exe");
    rig_.Start();
  }
  FormRig rig_;
};

struct OverRow {
  std::int16_t index;
  std::size_t count;
  const char* path;
  DWORD effect;
};

TEST_F(Dropping, AcceptsOneFileOfTheBoxsKindOnly) {
  const OverRow rows[] = {
      {0, 1, "C:\\x\\SETUP.EXE", kDropEffectCopy}, {1, 1, "C:\\x\\f.TtE", kDropEffectCopy},
      {0, 1, "C:\\x\\f.tte", kDropEffectNone},     {1, 1, "C:\\x\\a.exe", kDropEffectNone},
      {0, 2, "C:\\x\\a.exe", kDropEffectNone},     {0, 0, "", kDropEffectNone},
      {0, 1, "exe", kDropEffectNone},              {0, 1, "C:\\x\\a.lnk", kDropEffectNone},
      {2, 1, "C:\\x\\a.exe", kDropEffectNone},     {3, 1, "C:\\x\\a.tte", kDropEffectNone},
  };
  for (const auto& row : rows) {
    DWORD effect = 0xFF;
    rig_.form.Label1_OLEDragOver(row.index, DropData{row.count, row.path}, effect);
    EXPECT_EQ(effect, row.effect) << row.index << " " << row.path;
  }
}

TEST_F(Dropping, AProgramIsRegisteredByTheNameStoredOnDisk) {
  rig_.Program("D:\\Tools\\Setup.exe", 2);
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Tools\\SETUP.EXE"});
  EXPECT_EQ(rig_.form.SoftPath(), "D:\\Tools\\Setup.exe");
  EXPECT_EQ(rig_.window.Caption(Label1(0)), "D:\\Tools\\Setup.exe");
  EXPECT_NE(rig_.window.iconOnLaunchButton, nullptr);
  // No font yet: the button stays as start-up left it.
  EXPECT_FALSE(rig_.window.IsEnabled(Control::cmdExecSoft));
}

TEST_F(Dropping, AShortPathKeepsItsFolder) {
  rig_.Program("C:\\Program Files\\Viewer Suite\\Viewer Application.exe", 1);
  rig_.files.AddShortName("C:\\PROGRA~1\\VIEWER~1\\VIEWER~1.EXE",
                          "C:\\Program Files\\Viewer Suite\\Viewer Application.exe");
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "C:\\PROGRA~1\\VIEWER~1\\VIEWER~1.EXE"});
  EXPECT_EQ(rig_.form.SoftPath(), "C:\\PROGRA~1\\VIEWER~1\\Viewer Application.exe");
}

TEST_F(Dropping, AVanishedProgramIsRegisteredAsDropped) {
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Gone\\old.exe"});
  EXPECT_EQ(rig_.form.SoftPath(), "D:\\Gone\\old.exe");
}

TEST_F(Dropping, TheFontThenTheProgramCompleteThePair) {
  rig_.form.Label1_OLEDragDrop(1, DropData{1, "E:\\Fonts\\mine.tte"});
  EXPECT_EQ(rig_.form.EudcFile(), "E:\\Fonts\\mine.tte");
  EXPECT_EQ(rig_.window.Caption(Label1(1)), "E:\\Fonts\\mine.tte");
  EXPECT_FALSE(rig_.window.IsEnabled(Control::cmdExecSoft));
  rig_.Program("D:\\Tools\\a.exe", 1);
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Tools\\a.exe"});
  EXPECT_TRUE(rig_.window.IsEnabled(Control::cmdExecSoft));
}

TEST_F(Dropping, AProgramWithoutIconsKeepsThePreviousIconAndReplacedIconsAreFreed) {
  rig_.Program("D:\\Tools\\a.exe", 3);
  rig_.Program("D:\\Tools\\b.exe", 2);
  rig_.Program("D:\\Tools\\plain.exe", 0);
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Tools\\a.exe"});
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Tools\\b.exe"});
  const Hicon shown = rig_.window.iconOnLaunchButton;
  EXPECT_EQ(rig_.shell.LiveIconCount(), 2u);
  rig_.form.Label1_OLEDragDrop(0, DropData{1, "D:\\Tools\\plain.exe"});
  EXPECT_EQ(rig_.window.iconOnLaunchButton, shown);
  EXPECT_EQ(rig_.form.SoftPath(), "D:\\Tools\\plain.exe");
}

TEST_F(Dropping, DropsElsewhereChangeNothing) {
  rig_.form.Label1_OLEDragDrop(2, DropData{1, "D:\\a.exe"});
  rig_.form.Label1_OLEDragDrop(3, DropData{1, "D:\\a.tte"});
  EXPECT_EQ(rig_.form.SoftPath(), "");
  EXPECT_EQ(rig_.form.EudcFile(), "");
}

struct HoverRow {
  std::int16_t index;
  float x, y;
  Colour colour;
};

TEST(Link, LightsUpStrictlyInsideItsHotRectangle) {
  FormRig rig;
  const HoverRow rows[] = {
      {3, 3000, 150, kLinkHot},    {3, 50, 150, kLinkNormal},   {3, 50.5f, 150, kLinkHot},
      {3, 6100, 150, kLinkNormal}, {3, 6099, 150, kLinkHot},    {3, 3000, 20, kLinkNormal},
      {3, 3000, 300, kLinkNormal}, {3, 3000, 299, kLinkHot},    {0, 3000, 150, kLinkNormal},
      {2, 3000, 150, kLinkNormal},
  };
  for (const auto& row : rows) {
    rig.window.SetTextColour(Label1(3), row.colour == kLinkHot ? kLinkNormal : kLinkHot);
    rig.form.Label1_MouseMove(row.index, row.x, row.y);
    EXPECT_EQ(rig.window[Label1(3)].textColour, row.colour) << row.index << " " << row.x << "," << row.y;
  }
  rig.window.SetTextColour(Label1(3), kLinkHot);
  rig.form.Frame1_MouseMove();
  EXPECT_EQ(rig.window[Label1(3)].textColour, kLinkNormal);
  rig.window.SetTextColour(Label1(3), kLinkHot);
  rig.form.Form_MouseMove();
  EXPECT_EQ(rig.window[Label1(3)].textColour, kLinkNormal);
}

TEST(Link, EachClickOpensTheHomePageWithoutWaiting) {
  FormRig rig;
  // Through the window's routing: two quick clicks on the link arrive as a
  // click and a double click; the file boxes' clicks open nothing.
  RouteCommand(rig.form, Label1(3), kStnClicked);
  RouteCommand(rig.form, Label1(3), kStnDblClk);
  RouteCommand(rig.form, Label1(0), kStnClicked);
  RouteCommand(rig.form, Label1(1), kStnDblClk);
  ASSERT_EQ(rig.shell.calls.size(), 2u);
  for (const auto& call : rig.shell.calls) {
    EXPECT_EQ(call.file, "http://www.ferroday.example/");
    EXPECT_EQ(call.fMask, 0x400u);
    EXPECT_EQ(call.nShow, 1);
  }
  EXPECT_EQ(rig.processes.WaitCount(), 0u);
}

}  // namespace
}  // namespace tavrel::fakes
