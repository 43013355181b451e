// The rule of every restore, value by value: what it was before the run,
// what Tavrel wrote to it, and what it holds now.
#include <gtest/gtest.h>

#include "base/text.h"
#include "eudc/restore_plan.h"

namespace tavrel {
namespace {

constexpr char16_t kFile[] = u"D:\\Gaiji\\mine.tte";

RawValue Text(std::u16string name, std::u16string_view text) { return TextValue(std::move(name), text); }

struct PlanRow {
  const char* name;
  std::optional<RawValue> before;  // nothing: not in the record
  std::optional<RawValue> now;     // nothing: not in the key now
  enum { PutBack, LeftAlone, Kept } outcome;
};

class RestoreRule : public ::testing::TestWithParam<PlanRow> {};

TEST_P(RestoreRule, DecidesByBeforeWrittenAndNow) {
  const PlanRow& row = GetParam();
  JournalRecord record{{}, true, kFile, {}, {}};
  if (row.before) record.values.push_back(*row.before);
  KeyReading now{KeyReading::Outcome::Listed, {}, kSuccess};
  if (row.now) now.values.push_back(*row.now);
  const RestorePlan plan = PlanRestore(record, now);
  const std::u16string name = row.before ? row.before->name : row.now->name;
  EXPECT_EQ(plan.putBack, row.outcome == PlanRow::PutBack ? record.values : std::vector<RawValue>{});
  const std::vector<KeptValue> kept{{name, row.now}};
  EXPECT_EQ(plan.kept, row.outcome == PlanRow::Kept ? kept : std::vector<KeptValue>{});
}

const RawValue kBinary{u"Bits", kRegBinary, {0, 0}};  // the bytes of an empty text, but binary

INSTANTIATE_TEST_SUITE_P(
    , RestoreRule,
    ::testing::Values(
        // What Tavrel wrote is still there: the original comes back.
        PlanRow{"FontStillTheUserFile", Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE"),
                Text(u"SystemDefaultEUDCFont", kFile), PlanRow::PutBack},
        PlanRow{"FontStillEmptied", Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE"),
                Text(u"SystemDefaultEUDCFont", u""), PlanRow::PutBack},
        PlanRow{"LinkStillEmptied", Text(u"ＭＳ 明朝", u"C:\\m.tte"), Text(u"ＭＳ 明朝", u""), PlanRow::PutBack},
        PlanRow{"NameInOtherCase", Text(u"Link", u"C:\\m.tte"), Text(u"LINK", u""), PlanRow::PutBack},
        PlanRow{"BinaryStillEmptied", kBinary, Text(u"Bits", u""), PlanRow::PutBack},
        PlanRow{"FontInAnotherCase", Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE"),
                Text(u"SystemDefaultEUDCFont", u"d:\\GAIJI\\Mine.TTE"), PlanRow::PutBack},
        PlanRow{"FontWithoutItsNul", Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE"),
                RawValue{u"SystemDefaultEUDCFont", kRegSz, Utf16Bytes(kFile, false)}, PlanRow::PutBack},
        PlanRow{"EmptiedWithoutANul", Text(u"Link", u"C:\\m.tte"), RawValue{u"Link", kRegSz, {}}, PlanRow::PutBack},
        // Back already (a recovery killed halfway, or a value never emptied).
        PlanRow{"AtItsOriginal", Text(u"ＭＳ 明朝", u"C:\\m.tte"), Text(u"ＭＳ 明朝", u"C:\\m.tte"), PlanRow::LeftAlone},
        PlanRow{"OriginallyEmpty", Text(u"Empty", u""), Text(u"Empty", u""), PlanRow::LeftAlone},
        // Someone else's doing: kept as they left it, and named.
        PlanRow{"FontSetByHand", Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE"),
                Text(u"SystemDefaultEUDCFont", u"C:\\Other.tte"), PlanRow::Kept},
        PlanRow{"LinkPointedAtTheUserFile", Text(u"ＭＳ 明朝", u"C:\\m.tte"), Text(u"ＭＳ 明朝", kFile), PlanRow::Kept},
        PlanRow{"TypeChanged", Text(u"Link", u"C:\\m.tte"), RawValue{u"Link", kRegExpandSz, Utf16Bytes(u"")},
                PlanRow::Kept},
        PlanRow{"Removed", Text(u"ＭＳ 明朝", u"C:\\m.tte"), std::nullopt, PlanRow::Kept},
        PlanRow{"Added", std::nullopt, Text(u"New", u"C:\\n.tte"), PlanRow::Kept}),
    [](const auto& row) { return std::string(row.param.name); });

// Unreadable now: nothing says a value changed, and every value goes back.
TEST(RestoreRuleWithoutTheKey, PutsEverythingBackWhenTheKeyCannotBeRead) {
  const JournalRecord record{{}, true, kFile, {Text(u"A", u"a"), Text(u"B", u"b")}, {}};
  const RestorePlan plan = PlanRestore(record, KeyReading{KeyReading::Outcome::Failed, {}, kAccessDenied});
  EXPECT_EQ(plan.putBack, record.values);
  EXPECT_TRUE(plan.kept.empty());
  // A key someone deleted: every value is theirs to leave gone.
  EXPECT_EQ(PlanRestore(record, KeyReading{KeyReading::Outcome::Absent, {}, kSuccess}).kept.size(), 2u);
}

// The Windows default stands in the record for a font value there was none
// of: absent now too, it is as it was, and nobody changed anything.
TEST(RestoreRuleWithoutTheKey, AValueAbsentBeforeAndNowIsNotNamed) {
  const KeyReading none{KeyReading::Outcome::Absent, {}, kSuccess};
  const RawValue windowsDefault = Text(u"SystemDefaultEUDCFont", u"C:\\W\\EUDC.TTE");
  JournalRecord noKey{{}, false, kFile, {windowsDefault}, {}};
  EXPECT_EQ(PlanRestore(noKey, none).kept, std::vector<KeptValue>{});
  JournalRecord noValue{{}, true, kFile, {Text(u"Link", u""), windowsDefault}, {}};
  noValue.fontValueAdded = true;
  const KeyReading linkOnly{KeyReading::Outcome::Listed, {Text(u"Link", u"")}, kSuccess};
  EXPECT_EQ(PlanRestore(noValue, linkOnly).kept, std::vector<KeptValue>{});
  EXPECT_TRUE(PlanRestore(noValue, linkOnly).putBack.empty());
}

}  // namespace
}  // namespace tavrel
