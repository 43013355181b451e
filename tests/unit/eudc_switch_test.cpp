// The switch of the EUDC font and back, through the Command1 handler: what is
// recorded, what the key holds in between, and that every value comes back
// exactly — whatever its type, length or characters, and whichever registry
// call fails.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "fakes/form_rig.h"

namespace tavrel::fakes {
namespace {

constexpr const char* kUserFont = "C:\\Apps\\Viewer\\mine.tte";

using Values = std::vector<FakeRegistry::Value>;

FakeRegistry::Value Text(const std::string& name, const std::string& text, DWORD type = kRegSz) {
  return {Utf8ToUtf16(name), type, Utf16Bytes(Utf8ToUtf16(text))};
}

class EudcSwitching : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"mine.tte", "viewer.exe"});
    rig_.files.SetWindowsDirectory("C:\\WINDOWS");
  }
  void Start() { rig_.Start(); }
  void SwitchToUser() { rig_.form.Command1_Click(0); }
  void SwitchBack() { rig_.form.Command1_Click(1); }
  // What every other value holds while the user font is active.
  static Values Switched(const Values& before) {
    Values out;
    for (const auto& v : before) out.push_back({v.name, kRegSz, Utf16Bytes(u"")});
    return out;
  }

  FormRig rig_;
};

TEST_F(EudcSwitching, RecordsEveryValueInListingOrderThenEmptiesThemAndSetsTheFont) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  rig_.registry.SetText(kEudc, "ＭＳ 明朝", "C:\\fonts\\mincho.tte");
  const Values before = rig_.Key();
  Start();
  std::vector<Values> atReloads;
  rig_.session.onEnableEudc = [&](BOOL) { atReloads.push_back(rig_.Key()); };

  SwitchToUser();
  EXPECT_EQ(rig_.form.Eudc().colSavedNames,
            (std::vector<std::u16string>{u"SystemDefaultEUDCFont", u"ＭＳ 明朝"}));
  EXPECT_EQ(rig_.Key(), (Values{Text(kSystemFont, kUserFont), Text("ＭＳ 明朝", "")}));
  EXPECT_EQ(rig_.session.eudcReloads, (std::vector<BOOL>{0, 1}));
  // Released before the key changes, reloaded after.
  EXPECT_EQ(atReloads[0], before);
  EXPECT_EQ(atReloads[1], rig_.Key());
  EXPECT_TRUE(rig_.UserFontActive());
  EXPECT_FALSE(rig_.window.IsEnabled(Control::Command1_0));

  SwitchBack();
  EXPECT_EQ(rig_.Key(), before);
  EXPECT_EQ(rig_.session.eudcReloads, (std::vector<BOOL>{0, 1, 0, 1}));
  EXPECT_FALSE(rig_.UserFontActive());
  EXPECT_TRUE(rig_.window.IsEnabled(Control::Command1_0));
}

TEST_F(EudcSwitching, EveryValueComesBackWithItsTypeAndBytes) {
  // Expandable text (Windows expands it when it loads the font), text longer
  // than 255 bytes, non-text types, and names and data that code page 932
  // cannot hold: the ANSI calls would bring these back changed or not at all.
  const std::vector<BYTE> binary{0x00, 0xFF, 0x10, 0x80};
  rig_.registry.SetText(kEudc, kSystemFont, "%SystemRoot%\\EUDC.TTE", kRegExpandSz);
  rig_.registry.SetText(kEudc, "Long", std::string(600, 'L'));
  rig_.registry.SetRaw(kEudc, "Number", kRegDword, {1, 2, 3, 4});
  rig_.registry.SetRaw(kEudc, "Blob", kRegBinary, binary);
  rig_.registry.SetText(kEudc, "café 한글 😀", "D:\\é\\한.tte");
  rig_.registry.SetRaw(kEudc, "NoNul", kRegSz, Utf16Bytes(u"abc", false));
  rig_.registry.SetText(kEudc, std::string(300, 'n'), "long name");
  const Values before = rig_.Key();
  Start();
  SwitchToUser();
  EXPECT_EQ(rig_.SystemFont(), kUserFont);
  SwitchBack();
  EXPECT_EQ(rig_.Key(), before);
}

TEST_F(EudcSwitching, AnAbsentKeyIsCreatedAndEndsWithTheWindowsDefault) {
  Start();
  SwitchToUser();
  EXPECT_EQ(rig_.Key(), (Values{Text(kSystemFont, kUserFont)}));
  SwitchBack();
  EXPECT_EQ(rig_.Key(), (Values{Text(kSystemFont, "C:\\WINDOWS\\EUDC.TTE")}));
}

TEST_F(EudcSwitching, AKeyWithoutTheSystemFontEndsWithTheWindowsDefaultNotTheUserFont) {
  rig_.registry.SetText(kEudc, "ＭＳ ゴシック", "C:\\g.tte");
  Start();
  SwitchToUser();
  EXPECT_EQ(rig_.SystemFont(), kUserFont);
  SwitchBack();
  EXPECT_EQ(rig_.Key(),
            (Values{Text("ＭＳ ゴシック", "C:\\g.tte"), Text(kSystemFont, "C:\\WINDOWS\\EUDC.TTE")}));
}

TEST_F(EudcSwitching, EachSwitchStartsAFreshRecord) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\first.tte");
  rig_.registry.SetText(kEudc, "Old", "old text");
  Start();
  SwitchToUser();
  SwitchBack();
  // Between two launches another program drops a value and changes one.
  ASSERT_EQ(rig_.registry.RegDeleteTreeW(rig_.registry.CurrentUser(), u"EUDC\\932"), kErrorSuccess);
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\second.tte");
  SwitchToUser();
  EXPECT_EQ(rig_.form.Eudc().colSavedNames.size(), 1u);
  SwitchBack();
  EXPECT_EQ(rig_.Key(), (Values{Text(kSystemFont, "C:\\second.tte")}));
}

TEST_F(EudcSwitching, ASecondSwitchWhileActiveKeepsTheFirstRecordAndPointsAtTheNewFile) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  const Values before = rig_.Key();
  Start();
  SwitchToUser();
  rig_.form.Label1_OLEDragDrop(1, DropData{1, "D:\\other.tte"});
  SwitchToUser();
  EXPECT_EQ(rig_.SystemFont(), "D:\\other.tte");
  SwitchBack();
  EXPECT_EQ(rig_.Key(), before);
}

TEST(EudcSwitchingWithoutFont, SetsTheEmptyText) {
  FormRig rig;
  rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"viewer.exe"});
  rig.Start();
  rig.form.Command1_Click(0);
  EXPECT_EQ(rig.SystemFont(), "");
}

TEST_F(EudcSwitching, SwitchingBackWithNothingRecordedWritesNothingButToggles) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\x.tte");
  Start();
  const size_t calls = rig_.registry.CallCount();
  SwitchBack();
  EXPECT_EQ(rig_.registry.CallCount(), calls);
  EXPECT_EQ(rig_.session.eudcReloads, (std::vector<BOOL>{0, 1}));
  EXPECT_TRUE(rig_.window.IsEnabled(Control::Command1_0));
  EXPECT_FALSE(rig_.UserFontActive());
}

TEST_F(EudcSwitching, AKeyThatCannotBeChangedIsLeftAlone) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  rig_.registry.SetReadOnly(kEudc);
  const Values before = rig_.Key();
  Start();
  SwitchToUser();
  EXPECT_EQ(rig_.Key(), before);
  SwitchBack();
  EXPECT_EQ(rig_.Key(), before);
  EXPECT_EQ(rig_.registry.OpenHandleCount(), 0u);
}

// One registry call of the save or the restore fails, each in turn. However
// the switch went, once Tavrel is back to the system font (at the latest on
// its way out) the key holds what it held before.
TEST_F(EudcSwitching, AFaultAtAnyRegistryCallLosesNoValue) {
  const auto prepare = [](FormRig& rig) {
    rig.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"mine.tte", "viewer.exe"});
    rig.registry.SetText(kEudc, kSystemFont, "%SystemRoot%\\EUDC.TTE", kRegExpandSz);
    rig.registry.SetText(kEudc, "ＭＳ 明朝", "C:\\m.tte");
    rig.registry.SetText(kEudc, "Long", std::string(400, 'x'));
    rig.Start();
  };
  size_t firstCall = 0, calls = 0;
  {
    FormRig rig;
    prepare(rig);
    firstCall = rig.registry.CallCount();
    rig.form.Command1_Click(0);
    rig.form.Command1_Click(1);
    calls = rig.registry.CallCount() - firstCall;
  }
  ASSERT_GT(calls, 8u);
  for (const LSTATUS error : {kErrorAccessDenied, kErrorIoDevice, kErrorMoreData}) {
    for (size_t k = 0; k < calls; ++k) {
      SCOPED_TRACE("fault " + std::to_string(error) + " at call " + std::to_string(k));
      FormRig rig;
      prepare(rig);
      const Values before = rig.Key();
      rig.registry.InjectFault(firstCall + k, error);
      rig.form.Command1_Click(0);
      rig.form.Command1_Click(1);
      if (rig.UserFontActive()) {
        EXPECT_THROW(rig.form.cmdEnd_Click(), ProcessEnded);
      }
      EXPECT_EQ(rig.Key(), before);
      EXPECT_EQ(rig.registry.OpenHandleCount(), 0u);
    }
  }
}

TEST_F(EudcSwitching, ARestoreThatKeepsFailingLeavesTheUserFontActiveForTheWayOut) {
  rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
  const Values before = rig_.Key();
  Start();
  SwitchToUser();
  const size_t next = rig_.registry.CallCount();
  rig_.registry.InjectFault(next, kErrorIoDevice);      // first attempt
  rig_.registry.InjectFault(next + 1, kErrorIoDevice);  // the retry
  SwitchBack();
  EXPECT_TRUE(rig_.UserFontActive());
  EXPECT_THROW(rig_.form.cmdEnd_Click(), ProcessEnded);
  EXPECT_EQ(rig_.Key(), before);
}

}  // namespace
}  // namespace tavrel::fakes
