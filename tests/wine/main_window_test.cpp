// The real window and message loop under Wine, with the run on the fakes:
// what reaches the run through the window's own message routing, what the
// window shows of the run, and how it goes.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <chrono>
#include <future>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "base/win32/handles.h"
#include "base/win32/wide.h"
#include "fakes/fakes.h"
#include "shell/main_window.h"
#include "shell/message_loop.h"
#include "scratch_folder.h"

namespace tavrel::testing {
namespace {

using namespace tavrel::fakes;

class RealWindow : public ::testing::Test {
 protected:
  // The run reads the display language as it is made.
  explicit RealWindow(std::uint16_t displayLanguage = 0x0411) : desktop_(DesktopIn(displayLanguage)) {}
  static FakeDesktop DesktopIn(std::uint16_t displayLanguage) {
    FakeDesktop desktop;
    desktop.displayLanguage = displayLanguage;
    return desktop;
  }
  void SetUp() override {
    files_.Add(desktop_.executablePath);
    window_.Attach(run_);
    ASSERT_TRUE(window_.Create("Tavrel [ test ]"));
  }

  HWND Main() const { return reinterpret_cast<HWND>(window_.Owner()); }
  HWND ControlWindow(Control c) const {
    return LayoutOf(c).insideFrame
               ? GetDlgItem(GetDlgItem(Main(), ControlId(Control::FileFrame)), ControlId(c))
               : GetDlgItem(Main(), ControlId(c));
  }
  std::wstring Text(Control c) const {
    wchar_t text[512] = {};
    GetWindowTextW(ControlWindow(c), text, 512);
    return text;
  }
  // A click of the left button on a control, as the mouse delivers it; a
  // second one inside the double-click time arrives as WM_LBUTTONDBLCLK.
  static void Click(HWND control, UINT down) {
    SendMessageW(control, down, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  }

  FakeEudcKey key_;
  FakeJournalStore store_;
  FakeLauncher launcher_;
  FakeDesktop desktop_;
  FakeFiles files_;
  FakeSettings settings_;
  FakeShortcuts shortcuts_{files_};
  std::vector<Box> boxes_;  // the boxes the window showed, each answered Yes
  MainWindow window_{GetModuleHandleW(nullptr), [this](HWND, const Box& box) {
                       boxes_.push_back(box);
                       return true;
                     }};
  tavrel::Run run_{Seams{key_, store_, launcher_, desktop_, files_, settings_, shortcuts_}, window_};
};

TEST_F(RealWindow, ShowsTheRunsScreenWithoutReadingItBack) {
  Screen screen;
  screen.title = "Tavrel [ Ver.9.8.7 ]";
  screen.programCaption = "D:\\도구\\viewer.exe";
  screen.fontCaption = "ユーザー外字ファイルをDrag＆Dropしてください。";
  screen.launchEnabled = false;
  screen.exitWhenDone = true;
  window_.Show(screen);
  wchar_t title[64] = {};
  GetWindowTextW(Main(), title, 64);
  EXPECT_STREQ(title, L"Tavrel [ Ver.9.8.7 ]");
  EXPECT_EQ(Text(Control::ProgramBox), L"D:\\도구\\viewer.exe");
  EXPECT_EQ(Text(Control::FontBox), L"ユーザー外字ファイルをDrag＆Dropしてください。");
  EXPECT_FALSE(IsWindowEnabled(ControlWindow(Control::LaunchButton)));
  EXPECT_EQ(SendMessageW(ControlWindow(Control::ExitCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowVisible(Main()));
}

TEST_F(RealWindow, ClicksReachTheRunAsClicks) {
  run_.Open(CommandLine{});  // a run takes input once it has opened
  // Two quick clicks on the link open the home page twice.
  Click(ControlWindow(Control::LinkLabel), WM_LBUTTONDOWN);
  Click(ControlWindow(Control::LinkLabel), WM_LBUTTONDBLCLK);
  EXPECT_EQ(launcher_.opened.size(), 2u);
  // The check box toggles the run's choice, which the box then shows.
  SendMessageW(ControlWindow(Control::ExitCheck), BM_CLICK, 0, 0);
  EXPECT_TRUE(run_.screen().exitWhenDone);
  EXPECT_EQ(SendMessageW(ControlWindow(Control::ExitCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
}

// The system menu's item is greyed until the screen offers it; choosing it
// reaches the run, which writes the shortcut.
TEST_F(RealWindow, TheShortcutItemFollowsTheScreenAndReachesTheRun) {
  // MF_GRAYED or MF_GRAYED | MF_DISABLED; 0xFFFFFFFF when there is no item.
  const auto state = [&] { return GetMenuState(GetSystemMenu(Main(), FALSE), kShortcutMenuId, MF_BYCOMMAND); };
  EXPECT_EQ(state() & ~UINT{MF_DISABLED}, UINT{MF_GRAYED});
  files_.Add("C:\\Apps\\Viewer\\viewer.exe");
  files_.AddFont("C:\\Apps\\Viewer\\gaiji.tte");
  run_.Open(CommandLine{});
  EXPECT_EQ(state(), UINT{MF_ENABLED});
  SendMessageW(Main(), WM_SYSCOMMAND, kShortcutMenuId, 0);
  EXPECT_EQ(shortcuts_.written.size(), 1u);
}

// The size of a text drawn with the font of `fontOf`: on one line, or
// wrapped at `width` when given.
SIZE TextSize(HWND fontOf, const std::wstring& text, int width) {
  const HDC dc = GetDC(fontOf);
  const HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(fontOf, WM_GETFONT, 0, 0)));
  RECT r{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | (width ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
  SelectObject(dc, before);
  ReleaseDC(fontOf, dc);
  return SIZE{r.right, r.bottom};
}

// The room a control's client area leaves its text at `dpi`: less the check
// box, a button's edges, a picture button's picture, the frame title's indents.
SIZE RoomForText(ControlKind kind, SIZE room, int dpi) {
  const int edges = MulDiv(6, dpi, 96);
  const int picture = TwipsToPixels(Drawing().launchPicture + Drawing().pictureGap, dpi);
  if (kind == ControlKind::CheckBox) return {room.cx - MulDiv(17, dpi, 96), room.cy};
  if (kind == ControlKind::Frame) return {room.cx - 2 * TwipsToPixels(Drawing().frameTitleIndent, dpi), room.cy};
  if (kind == ControlKind::PictureButton) return {room.cx - edges, room.cy - edges - picture};
  return room;
}

class RealWindowAtDpi : public RealWindow, public ::testing::WithParamInterface<int> {};

// What Windows 10 sends a per-monitor aware window moved to a monitor of
// another DPI: it takes the suggested rectangle, and each control its place
// at that DPI, with a font in which its text fits.
TEST_P(RealWindowAtDpi, LaysItselfOutAgainAndEveryTextFits) {
  const int dpi = GetParam();
  Screen screen;
  screen.programCaption = "実行するソフトをDrag＆Dropしてください";
  screen.fontCaption = "ユーザー外字ファイルをDrag＆Dropしてください。";
  window_.Show(screen);
  RECT suggested{40, 30, 40 + MulDiv(460, dpi, 96), 30 + MulDiv(240, dpi, 96)}, r{};
  SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  GetWindowRect(Main(), &r);
  EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
            std::tuple(suggested.left, suggested.top, suggested.right, suggested.bottom));
  for (const ControlLayout& layout : Controls()) {
    if (!IsVisibleAtLayoutSize(layout)) continue;
    const std::string name = "control " + std::to_string(ControlId(layout.control));
    HWND control = ControlWindow(layout.control);
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    const TwipsRect& at = layout.rect;
    EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
              std::tuple(TwipsToPixels(at.left, dpi), TwipsToPixels(at.top, dpi),
                         TwipsToPixels(at.left + at.width, dpi), TwipsToPixels(at.top + at.height, dpi)))
        << name;
    if (Text(layout.control).empty()) continue;
    GetClientRect(control, &r);
    const SIZE room = RoomForText(layout.kind, SIZE{r.right, r.bottom}, dpi);
    // The frame paints its title with the labels' font.
    HWND fontOf = layout.kind == ControlKind::Frame ? ControlWindow(Control::ProgramTitle) : control;
    const SIZE text = TextSize(fontOf, Text(layout.control), layout.acceptsDrops ? room.cx : 0);
    EXPECT_LE(text.cx, room.cx) << name;
    EXPECT_LE(text.cy, room.cy) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(, RealWindowAtDpi, ::testing::Values(96, 120, 144, 192),
                         [](const auto& row) { return "Dpi" + std::to_string(row.param); });

// The window's own tooltip, if it has one yet.
HWND TooltipOf(HWND main) {
  for (HWND w = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w;
       w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(w, GW_OWNER) == main) return w;
  }
  return nullptr;
}

// The loop runs the queued launch, waits for the program (its end signal a
// real event here, set already), puts the settings back and, with the check
// box ticked, ends with the run and its window.
TEST_F(RealWindow, TheLoopRunsALaunchToItsEndAndEndsWithTheRun) {
  files_.Add("C:\\Apps\\Viewer\\viewer.exe");
  files_.AddFont("C:\\Apps\\Viewer\\gaiji.tte");
  key_.SetText(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE");
  const auto before = key_.values;
  const UniqueWin32Handle ended(CreateEventW(nullptr, TRUE, TRUE, nullptr));
  launcher_.nextSignal = ended.get();
  run_.Open(CommandLine{true, true, false, {}, {}, {}, std::nullopt});
  ASSERT_TRUE(IsWindowVisible(Main()));
  HWND main = Main();
  EXPECT_EQ(RunMessageLoop(run_, &window_), 0);
  EXPECT_EQ(launcher_.StartCount(), 1u);
  EXPECT_EQ(key_.values, before);
  EXPECT_FALSE(store_.record);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_FALSE(IsWindow(main));
  // OLE is off on this thread again: starting COM now is a first start.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(com, S_OK);
  if (SUCCEEDED(com)) CoUninitialize();
}

TEST_F(RealWindow, TheTooltipAndTheDropTargetsComeOnceTheQueueRunsDry) {
  EXPECT_EQ(TooltipOf(Main()), nullptr);
  window_.FinishStartUp();
  EXPECT_NE(TooltipOf(Main()), nullptr);
  struct RefusingSink final : IDropSink {
    bool Accepts(DropBox, const DropData&) override { return false; }
    void Drop(DropBox, const DropData&) override {}
  } refusing;
  UniqueCom<DropTarget> other(new DropTarget(refusing, DropBox::Program));
  for (const Control box : {Control::ProgramBox, Control::FontBox}) {
    EXPECT_EQ(RegisterDragDrop(ControlWindow(box), other.get()), DRAGDROP_E_ALREADYREGISTERED);
  }
}

// Tab walks the window's controls in the reading order, the file boxes
// among them, and round again.
TEST_F(RealWindow, TabGoesThroughTheControlsAndTheBoxesInReadingOrder) {
  files_.Add("C:\\Apps\\Viewer\\viewer.exe");
  files_.AddFont("C:\\Apps\\Viewer\\gaiji.tte");
  run_.Open(CommandLine{});
  const std::vector<Control> order = FocusOrder();
  ASSERT_EQ(GetFocus(), ControlWindow(order.front()));
  for (std::size_t i = 1; i <= order.size(); ++i) {
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    EXPECT_TRUE(window_.HandleDialogKey(tab));
    EXPECT_EQ(GetFocus(), ControlWindow(order[i % order.size()])) << i;
  }
}

// A screen reader hears each box as a button that opens a dialog, named by
// the caption above it, with the path or the prompt it shows as its value.
TEST_F(RealWindow, EachBoxIsANamedButtonWithItsTextAsValue) {
  run_.Open(CommandLine{});
  for (const auto& [box, title] : {std::pair(Control::ProgramBox, Control::ProgramTitle),
                                  std::pair(Control::FontBox, Control::FontTitle)}) {
    SCOPED_TRACE(ControlId(box));
    void* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(ControlWindow(box), OBJID_CLIENT, IID_IAccessible, &object), S_OK);
    const UniqueCom<IAccessible> accessible = Adopt<IAccessible>(object);
    HWND window = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(accessible.get(), &window), S_OK);
    EXPECT_EQ(window, ControlWindow(box));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
      BSTR answer = nullptr;
      EXPECT_EQ((accessible.get()->*get)(self, &answer), S_OK);
      std::wstring copy = answer ? answer : L"";
      SysFreeString(answer);
      return copy;
    };
    EXPECT_EQ(text(&IAccessible::get_accName), Text(title));
    EXPECT_EQ(text(&IAccessible::get_accValue), Text(box));
    EXPECT_EQ(Narrow(text(&IAccessible::get_accDescription)),
              TextIn(Language::Japanese, *LayoutOf(box).tooltip));
    VARIANT role{}, state{};
    ASSERT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_EQ(accessible->get_accState(self, &state), S_OK);
    EXPECT_EQ(state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HASPOPUP),
              STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HASPOPUP);
  }
}

// The first visible child of `parent` of `windowClass`, at any depth.
HWND FirstChildOfClass(HWND parent, const wchar_t* windowClass) {
  struct Search {
    const wchar_t* windowClass;
    HWND found;
  } search{windowClass, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (_wcsicmp(name, s.windowClass) != 0 || !IsWindowVisible(child)) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A hand on another thread: waits for the Open dialog that `owner` shows,
// types `path` as its file name and presses its Open button. Its answer is
// what it saw: the dialog's folder list was there, and the name was typed.
std::future<bool> ChooseInOpenDialog(HWND owner, std::wstring path) {
  return std::async(std::launch::async, [owner, path] {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
      HWND dialog = nullptr;
      while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr))) {
        if (GetWindow(dialog, GW_OWNER) == owner && IsWindowVisible(dialog)) break;
      }
      HWND name = dialog ? FirstChildOfClass(dialog, L"Edit") : nullptr;
      if (!name) {
        Sleep(50);
        continue;
      }
      SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      // A dialog that refuses the name would hold the test for ever.
      for (int i = 0; i < 200 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(50);
      if (IsWindow(dialog) && IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    return false;
  });
}

struct ChooseRow {
  Control box;
  WORD key;            // VK_RETURN, or VK_SPACE
  const char* name;    // of the file in the scratch folder
};

class RealWindowChoosing : public RealWindow, public ::testing::WithParamInterface<ChooseRow> {};

// Enter or Space on the focused box opens the system's Open dialog, and the
// file chosen there is registered as a dropped one would be.
TEST_P(RealWindowChoosing, TheKeyOnAFocusedBoxOpensTheDialogAndRegistersTheChoice) {
  const ChooseRow& row = GetParam();
  ScratchFolder folder;
  folder.MakeFile(row.name, FILE_ATTRIBUTE_NORMAL, {0, 1, 0, 0});
  const std::string path = folder.Path() + "\\" + row.name;
  if (row.box == Control::FontBox) files_.AddFont(path);
  else files_.Add(path);
  run_.Open(CommandLine{});
  HWND box = ControlWindow(row.box);
  SetFocus(box);
  std::future<bool> hand = ChooseInOpenDialog(Main(), Wide(path));
  // As the message loop delivers the key: through dialog navigation.
  MSG down{box, WM_KEYDOWN, row.key, 0x00000001, 0, {}};
  if (!window_.HandleDialogKey(down)) DispatchMessageW(&down);
  if (row.key == VK_SPACE) SendMessageW(box, WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_TRUE(hand.get()) << "no Open dialog with a file name box";
  const Screen& screen = run_.screen();
  EXPECT_EQ(_stricmp((row.box == Control::FontBox ? screen.fontCaption : screen.program).c_str(), path.c_str()), 0)
      << screen.programCaption << " / " << screen.fontCaption;
}

INSTANTIATE_TEST_SUITE_P(, RealWindowChoosing,
                         ::testing::Values(ChooseRow{Control::ProgramBox, VK_RETURN, "viewer.exe"},
                                           ChooseRow{Control::FontBox, VK_SPACE, "gaiji.tte"}),
                         [](const auto& row) { return row.param.key == VK_RETURN ? "ProgramByEnter" : "FontBySpace"; });

// On an English display the window takes its captions and its system menu
// item from the run's English texts.
class RealWindowInEnglish : public RealWindow {
 protected:
  RealWindowInEnglish() : RealWindow(0x0409) {}
};

TEST_F(RealWindowInEnglish, ShowsTheEnglishTexts) {
  wchar_t item[64] = {};
  GetMenuStringW(GetSystemMenu(Main(), FALSE), kShortcutMenuId, item, 64, MF_BYCOMMAND);
  EXPECT_EQ(Narrow(item), TextIn(Language::English, tavrel::Text::ShortcutMenuItem));
  for (const ControlLayout& layout : Controls()) {
    if (layout.caption) {
      EXPECT_EQ(Narrow(Text(layout.control)), TextIn(Language::English, *layout.caption));
    }
  }
}

// Each box's tooltip says, in the window's language, that it takes a click or a drop.
TEST_F(RealWindowInEnglish, TheTooltipsSpeakTheWindowsLanguage) {
  window_.FinishStartUp();
  const HWND tooltip = TooltipOf(Main());
  ASSERT_NE(tooltip, nullptr);
  for (const ControlLayout& layout : Controls()) {
    if (!layout.tooltip) continue;
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(ControlWindow(layout.control));
    tool.uId = reinterpret_cast<UINT_PTR>(ControlWindow(layout.control));
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Narrow(text), TextIn(Language::English, *layout.tooltip)) << ControlId(layout.control);
  }
}

}  // namespace
}  // namespace tavrel::testing
