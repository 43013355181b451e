// The real window under Wine with its form on the fakes: what reaches frmMain
// through the window's own message routing, and how the window goes before
// the process ends.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_profile.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_session.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_variant.h"
#include "fakes/fake_window_tree.h"
#include "platform/win32/win32_main_window.h"

namespace tavrel::testing {
namespace {

using namespace tavrel::fakes;

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    session_.modulePath = "C:\\Apps\\Viewer\\Tavrel.exe";
    files_.AddFile(session_.modulePath);
    window_.Attach(form_);
    ASSERT_TRUE(window_.Create());
  }

  HWND ControlWindow(Control c) const {
    HWND main = window_.Handle();
    return LayoutOf(c).insideFrame ? GetDlgItem(GetDlgItem(main, ControlId(Control::Frame1)), ControlId(c))
                                   : GetDlgItem(main, ControlId(c));
  }

  // A click of the left button on a control, as the mouse delivers it; a
  // second one inside the double-click time arrives as WM_LBUTTONDBLCLK.
  static void Click(HWND control, UINT down) {
    SendMessageW(control, down, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }

  FakeRegistry registry_;
  FakeFileSystem files_;
  FakeProcesses processes_{files_};
  FakeShell shell_{files_, processes_};
  FakeWindowTree windows_;
  FakeSession session_;
  FakeProfile profile_;
  FakeVariantConversions variants_;
  // A sink that refuses every drag, for a drop target of the test's own.
  struct RefusingSink final : IDropSink {
    DWORD DragOver(int, const DropData&) override { return DROPEFFECT_NONE; }
    void Drop(int, const DropData&) override {}
  } refusingSink_;
  MainWindow window_{GetModuleHandleW(nullptr)};
  Services services_{registry_, files_, shell_, processes_, window_, windows_, session_, profile_, variants_};
  frmMain form_{services_, window_};
};

TEST_F(RealWindow, TwoQuickClicksOnTheLinkOpenTheHomePageTwice) {
  HWND link = ControlWindow(Control::Label1_3);
  ASSERT_NE(link, nullptr);
  Click(link, WM_LBUTTONDOWN);
  Click(link, WM_LBUTTONDBLCLK);
  EXPECT_EQ(shell_.calls.size(), 2u);
  // The file boxes take clicks too, and open nothing.
  Click(ControlWindow(Control::Label1_0), WM_LBUTTONDOWN);
  Click(ControlWindow(Control::Label1_0), WM_LBUTTONDBLCLK);
  EXPECT_EQ(shell_.calls.size(), 2u);
}

TEST_F(RealWindow, ACommandFromAButtonOutsideTheFrameReachesItsHandler) {
  HWND restore = ControlWindow(Control::Command1_1);
  HWND set = ControlWindow(Control::Command1_0);
  ASSERT_FALSE(IsWindowEnabled(restore));
  SendMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(ControlId(Control::Command1_0), BN_CLICKED),
               reinterpret_cast<LPARAM>(set));
  EXPECT_TRUE(IsWindowEnabled(restore));
  EXPECT_FALSE(IsWindowEnabled(set));
}

// The window's own tooltip, if it has one yet.
HWND TooltipOf(HWND main) {
  for (HWND w = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w;
       w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(w, GW_OWNER) == main) return w;
  }
  return nullptr;
}

TEST_F(RealWindow, TheTooltipAndTheDropTargetsComeOnceTheQueueRunsDry) {
  HWND main = window_.Handle();
  EXPECT_EQ(TooltipOf(main), nullptr);
  window_.DoEvents();  // as a launch's wait does, should it come first
  EXPECT_NE(TooltipOf(main), nullptr);
  UniqueCom<DropTarget> other(new DropTarget(refusingSink_, 0));
  for (const Control box : {Control::Label1_0, Control::Label1_1}) {
    EXPECT_EQ(RegisterDragDrop(ControlWindow(box), other.get()), DRAGDROP_E_ALREADYREGISTERED);
  }
}

TEST_F(RealWindow, GoesWithItsDropTargetsAndOleBeforeTheProcessEnds) {
  window_.FinishStartUp();  // the tooltip and the drop targets
  HWND main = window_.Handle();
  HWND box = ControlWindow(Control::Label1_0);
  UniqueCom<DropTarget> other(new DropTarget(refusingSink_, 0));
  EXPECT_EQ(RegisterDragDrop(box, other.get()), DRAGDROP_E_ALREADYREGISTERED);

  window_.Destroy();
  EXPECT_FALSE(IsWindow(main));
  // OLE is off on this thread again: starting COM now is a first start.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(com, S_OK);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace
}  // namespace tavrel::testing
