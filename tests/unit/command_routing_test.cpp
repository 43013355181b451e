// What a control's WM_COMMAND notification runs in frmMain, as the window
// routes it: a click, a quick second click (a double click), and the
// notifications that are not clicks at all.
#include <gtest/gtest.h>

#include <functional>

#include "app/command_routing.h"
#include "fakes/form_rig.h"

namespace tavrel::fakes {
namespace {

// Notification codes that are not clicks.
constexpr int kStnEnable = 2;
constexpr int kBnSetFocus = 6;
constexpr int kBnKillFocus = 7;

struct RouteRow {
  const char* what;
  Control control;
  int code;
  bool routed;
  std::function<bool(FormRig&)> happened;  // what the handler left behind
};

bool OpenedHomePage(FormRig& rig) { return rig.shell.calls.size() == 1; }
bool OpenedNothing(FormRig& rig) { return rig.shell.calls.empty(); }
bool SwitchedToUserFont(FormRig& rig) { return rig.UserFontActive(); }
bool LeftFontAlone(FormRig& rig) { return !rig.UserFontActive(); }

TEST(CommandRouting, EachNotificationRunsWhatItMeans) {
  const RouteRow rows[] = {
      {"a click on the link", Control::Label1_3, kStnClicked, true, OpenedHomePage},
      {"a quick second click on the link", Control::Label1_3, kStnDblClk, true, OpenedHomePage},
      {"the link being enabled", Control::Label1_3, kStnEnable, false, OpenedNothing},
      {"a double click on the program box", Control::Label1_0, kStnDblClk, true, OpenedNothing},
      {"a click on a caption without handler", Control::Label3_0, kStnClicked, false, OpenedNothing},
      {"a click on chkExit, which ticks itself", Control::chkExit, kBnClicked, false, OpenedNothing},
      {"a click on Command1(0)", Control::Command1_0, kBnClicked, true, SwitchedToUserFont},
      {"Command1(0) taking the focus", Control::Command1_0, kBnSetFocus, false, LeftFontAlone},
      {"Command1(0) losing the focus", Control::Command1_0, kBnKillFocus, false, LeftFontAlone},
  };
  for (const RouteRow& row : rows) {
    FormRig rig;
    rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"viewer.exe", "mine.tte"});
    rig.Start();
    EXPECT_EQ(RouteCommand(rig.form, row.control, row.code), row.routed) << row.what;
    EXPECT_TRUE(row.happened(rig)) << row.what;
  }
}

TEST(CommandRouting, AQuickSecondClickOnAPictureButtonIsAClick) {
  for (const int code : {kBnClicked, kBnDoubleClicked}) {
    FormRig rig;
    rig.Start();
    EXPECT_THROW(RouteCommand(rig.form, Control::cmdEnd, code), ProcessEnded) << code;
  }
  FormRig rig;
  rig.Start();
  EXPECT_FALSE(RouteCommand(rig.form, Control::cmdEnd, kBnKillFocus));
}

}  // namespace
}  // namespace tavrel::fakes
