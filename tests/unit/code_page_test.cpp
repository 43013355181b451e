// Which EUDC key Tavrel changes: that of the ANSI code page in use for a
// fresh switch, and, for a recovery, the one the journal's record names
// (EUDC\932 for a record of an older Tavrel), whatever the code page is then.
#include <gtest/gtest.h>

#include "unit/journal_body.h"
#include "unit/viewer_kit.h"

namespace tavrel::fakes {
namespace {

constexpr CodePage kWestern = 1252;
constexpr char16_t kOthersFont[] = u"C:\\Others\\theirs.tte";

std::vector<RawValue> UntouchedKey() { return {TextValue(kSystemDefaultEudcFont, kOthersFont)}; }

CodePage OtherThan(CodePage codePage) { return codePage == kWestern ? kJapaneseCodePage : kWestern; }

struct ActiveRow {
  const char* name;
  CodePage active;
};

class KeyOfTheActiveCodePage : public ::testing::TestWithParam<ActiveRow> {};

// The other key is never read nor written; a box about the switched key names it.
TEST_P(KeyOfTheActiveCodePage, IsSwitchedJournalledAndPutBack) {
  const CodePage active = GetParam().active;
  RunRig rig;
  Viewer(rig);
  rig.key.activeCodePage = active;
  rig.key.Key(active) = ViewerKey();
  rig.key.Key(OtherThan(active)) = UntouchedKey();
  rig.Start();
  rig.run->LaunchClicked();

  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont, active), kFont);
  ASSERT_TRUE(Journalled(rig));
  EXPECT_EQ(Journalled(rig)->codePage, active);
  rig.key.SetText(kFace, u"C:\\edited.tte", active);
  rig.EndProgram(0);

  EXPECT_EQ(rig.key.Text(kSystemDefaultEudcFont, active), u"C:\\WINDOWS\\EUDC.TTE");
  EXPECT_EQ(rig.key.Key(OtherThan(active)), UntouchedKey());
  ASSERT_EQ(rig.desktop.shown.size(), 1u);
  EXPECT_NE(rig.BoxTexts()[0].find(Utf16ToUtf8(EudcKeyShown(active)) + "\r\n「ＭＳ 明朝」"), std::string::npos)
      << rig.BoxTexts()[0];
}

INSTANTIATE_TEST_SUITE_P(, KeyOfTheActiveCodePage,
                         ::testing::Values(ActiveRow{"Japanese", kJapaneseCodePage}, ActiveRow{"Western", kWestern}),
                         [](const auto& row) { return std::string(row.param.name); });

// A record of an older Tavrel, which switched EUDC\932 alone: the writer
// (none), then no code page.
std::vector<std::uint8_t> OlderRecord() {
  Body body;
  body.Raw("TVJ2").U32(0).U32(0).U32(0).U32(0).U32(1).Text(kFont).U32(2);
  for (const RawValue& value : ViewerKey()) {
    body.Text(value.name).U32(value.type).U32(static_cast<std::uint32_t>(value.data.size()));
    body.Raw({reinterpret_cast<const char*>(value.data.data()), value.data.size()});
  }
  return body.U32(0).Sealed();
}

std::vector<std::uint8_t> RecordOf(CodePage codePage) {
  return SerializeJournal(JournalRecord{{}, true, kFont, ViewerKey(), {}, codePage});
}

struct RecordRow {
  const char* name;
  std::vector<std::uint8_t> (*record)();
  CodePage switched;  // the key the record's copy changed
  CodePage active;    // at the recovery
};

class RecoveredKey : public ::testing::TestWithParam<RecordRow> {};

TEST_P(RecoveredKey, IsTheOneTheRecordNames) {
  const RecordRow& row = GetParam();
  RunRig rig;
  Viewer(rig);
  rig.key.values.reset();
  rig.key.activeCodePage = row.active;
  rig.key.Key(row.switched) = std::vector<RawValue>{TextValue(kSystemDefaultEudcFont, kFont), TextValue(kFace, u"")};
  rig.key.Key(OtherThan(row.switched)) = UntouchedKey();
  rig.store.record = row.record();
  rig.store.logonCommand = kRestoreCommand;
  rig.StartAgain();

  EXPECT_EQ(rig.key.Key(row.switched), ViewerKey());
  EXPECT_EQ(rig.key.Key(OtherThan(row.switched)), UntouchedKey());
  EXPECT_FALSE(rig.store.record || rig.store.logonCommand);
}

INSTANTIATE_TEST_SUITE_P(
    , RecoveredKey,
    ::testing::Values(RecordRow{"OlderRecordOnAWesternSystem", OlderRecord, kJapaneseCodePage, kWestern},
                      RecordRow{"WesternRecordOnAJapaneseSystem", [] { return RecordOf(kWestern); }, kWestern,
                                kJapaneseCodePage}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tavrel::fakes
