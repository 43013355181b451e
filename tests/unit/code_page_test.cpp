// Which EUDC key a fresh switch changes: that of the code page in use. (A
// recovery puts back the one the journal names: see RecoveryOfAnEndedProgram
// and JournalBytes.)
#include <gtest/gtest.h>

#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr CodePage kWestern = 1252;
const std::vector<RawValue> kUntouched{TextValue(kSystemDefaultEudcFont, u"C:\\Others\\theirs.tte")};

CodePage OtherThan(CodePage codePage) { return codePage == kWestern ? kJapaneseCodePage : kWestern; }

class KeyOfTheActiveCodePage : public ::testing::TestWithParam<CodePage> {};

// The other key is left alone; the box about a value kept names the key.
TEST_P(KeyOfTheActiveCodePage, IsSwitchedJournalledAndPutBack) {
  const CodePage active = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.key.activeCodePage = active;
  rig.key.Key(active) = ViewerKey();
  rig.key.Key(OtherThan(active)) = kUntouched;
  rig.Start();
  rig.run->LaunchClicked();
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont, active), kFont);
  EXPECT_EQ(Journalled(rig).value_or(JournalRecord{}).codePage, active);

  rig.key.SetText(kFace, u"C:\\edited.tte", active);
  rig.EndProgram(0);
  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont, active), u"C:\\WINDOWS\\EUDC.TTE");
  EXPECT_EQ(rig.key.Key(OtherThan(active)), kUntouched);
  ASSERT_EQ(rig.BoxTexts().size(), 1u);
  EXPECT_NE(rig.BoxTexts()[0].find(Utf16ToUtf8(EudcKeyShown(active)) + "\r\n「ＭＳ 明朝」"), std::string::npos)
      << rig.BoxTexts()[0];
}

INSTANTIATE_TEST_SUITE_P(, KeyOfTheActiveCodePage, ::testing::Values(kJapaneseCodePage, kWestern));

}  // namespace
}  // namespace tavrel::fakes
