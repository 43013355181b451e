// Which EUDC key Tavrel changes: that of the code page in use at a fresh
// switch, and at a recovery the one the journal names, whatever the code
// page is by then (a record without one names 932: see JournalBytes).
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

// Rows: the key a killed copy switched, and the code page at the recovery.
class RecoveredKey : public ::testing::TestWithParam<std::pair<CodePage, CodePage>> {};

TEST_P(RecoveredKey, IsTheOneTheRecordNames) {
  const auto [switched, active] = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.key.activeCodePage = active;
  rig.key.Key(switched) = std::vector<RawValue>{TextValue(kSystemDefaultEudcFont, kFont), TextValue(kFace, u"")};
  rig.key.Key(OtherThan(switched)) = kUntouched;
  rig.store.record = SerializeJournal(JournalRecord{{}, true, kFont, ViewerKey(), {}, switched});
  rig.store.logonCommand = kRestoreCommand;
  rig.StartAgain();
  EXPECT_EQ(rig.key.Key(switched), ViewerKey());
  EXPECT_EQ(rig.key.Key(OtherThan(switched)), kUntouched);
  EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
}

INSTANTIATE_TEST_SUITE_P(, RecoveredKey,
                         ::testing::Values(std::pair{kJapaneseCodePage, kWestern}, std::pair{kWestern, kJapaneseCodePage}));

}  // namespace
}  // namespace tavrel::fakes
