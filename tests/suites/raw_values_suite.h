// Byte-exact listing and writing of registry values, and the EUDC switch
// built on them, against a registry backend: the fake on the host, the real
// registry under Wine.
#pragma once

#include <gtest/gtest.h>

#include "eudc/eudc_switch.h"
#include "eudc/raw_values.h"
#include "platform/text.h"
#include "suites/registry_kit.h"

namespace tavrel::testing {

}  // namespace tavrel::testing

namespace tavrel {
inline void PrintTo(const RawValue& v, std::ostream* os) {
  *os << "{" << Utf16ToUtf8(v.name) << ", type " << v.type << ", " << v.data.size() << " bytes:";
  for (size_t i = 0; i < v.data.size() && i < 24; ++i) *os << " " << static_cast<int>(v.data[i]);
  if (v.data.size() > 24) *os << " ...";
  *os << "}";
}
}  // namespace tavrel

namespace tavrel::testing {

// Values that the ANSI registry calls would change or lose.
inline std::vector<RawValue> AwkwardValues() {
  return {
      TextValue(u"SystemDefaultEUDCFont", u"%SystemRoot%\\EUDC.TTE"),
      RawValue{u"Expand", kRegExpandSz, Utf16Bytes(u"%WINDIR%\\Fonts\\x.tte")},
      TextValue(u"Long", std::u16string(600, u'L')),
      RawValue{u"Number", kRegDword, {1, 2, 3, 4}},
      RawValue{u"Blob", kRegBinary, {0x00, 0xFF, 0x10, 0x80}},
      TextValue(Utf8ToUtf16("café 한글 😀"), Utf8ToUtf16("D:\\é\\한😀.tte")),
      RawValue{u"NoNul", kRegSz, Utf16Bytes(u"abc", false)},
      TextValue(std::u16string(300, u'n'), u"long name"),
      RawValue{u"Empty", kRegBinary, {}},
  };
}

template <typename Backend>
class RawValuesSuite : public ::testing::Test {
 protected:
  static constexpr char16_t kKey[] = u"Software\\Tavrel Tests\\Raw";

  void SetUp() override {
    DeleteTree(reg(), "Software\\Tavrel Tests");
    Journal(reg()).Remove();
    saved_ = ListValues(reg(), reg().CurrentUser(), kEudcKey);
    reg().RegDeleteTreeW(reg().CurrentUser(), kEudcKey);
  }
  void TearDown() override {
    DeleteTree(reg(), "Software\\Tavrel Tests");
    Journal(reg()).Remove();
    // Put the machine's own EUDC key back as it was.
    reg().RegDeleteTreeW(reg().CurrentUser(), kEudcKey);
    for (const RawValue& v : saved_.values) WriteValue(reg(), reg().CurrentUser(), kEudcKey, v);
  }
  IRegistry& reg() { return backend_.registry(); }
  void Put(std::u16string_view key, const std::vector<RawValue>& values) {
    for (const RawValue& v : values) {
      ASSERT_EQ(WriteValue(reg(), reg().CurrentUser(), key, v), kErrorSuccess);
    }
  }
  static std::vector<RawValue> Sorted(std::vector<RawValue> v) {
    std::sort(v.begin(), v.end(), [](const RawValue& a, const RawValue& b) { return a.name < b.name; });
    return v;
  }

  Backend backend_;
  ValueListing saved_;
};

TYPED_TEST_SUITE_P(RawValuesSuite);

TYPED_TEST_P(RawValuesSuite, AnAbsentKeyIsToldApartFromAnEmptyOne) {
  EXPECT_EQ(ListValues(this->reg(), this->reg().CurrentUser(), this->kKey).outcome,
            ListOutcome::KeyAbsent);
  this->Put(this->kKey, {TextValue(u"x", u"1")});
  EXPECT_EQ(ListValues(this->reg(), this->reg().CurrentUser(), this->kKey).outcome,
            ListOutcome::Listed);
}

TYPED_TEST_P(RawValuesSuite, ValuesComeBackByteForByte) {
  this->Put(this->kKey, AwkwardValues());
  const ValueListing listing = ListValues(this->reg(), this->reg().CurrentUser(), this->kKey);
  EXPECT_EQ(listing.outcome, ListOutcome::Listed);
  const auto got = this->Sorted(listing.values);
  const auto expected = this->Sorted(AwkwardValues());
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], expected[i]);
}

TYPED_TEST_P(RawValuesSuite, TheEudcSwitchRestoresTheKeyExactly) {
  this->Put(kEudcKey, AwkwardValues());
  const auto before = this->Sorted(ListValues(this->reg(), this->reg().CurrentUser(), kEudcKey).values);
  typename TypeParam::Files files;
  Journal journal(this->reg());
  EudcSwitch eudc(this->reg(), files, journal);
  ASSERT_TRUE(eudc.SaveAndClearEudcSettings("Z:\\tmp\\mine.tte").ok());
  // The journal holds the record, byte for byte, before anything changed.
  const JournalReading reading = journal.Read();
  ASSERT_EQ(reading.state, JournalState::Read);
  EXPECT_EQ(this->Sorted(reading.record.values), before);
  EXPECT_TRUE(eudc.SetSystemFont("Z:\\tmp\\mine.tte").ok());
  for (const RawValue& v : ListValues(this->reg(), this->reg().CurrentUser(), kEudcKey).values) {
    const bool isFont = v.name == u"SystemDefaultEUDCFont";
    EXPECT_EQ(v, TextValue(v.name, isFont ? u"Z:\\tmp\\mine.tte" : u""));
  }
  EXPECT_TRUE(eudc.RestoreEudcSettings().complete());
  eudc.DropJournal();
  EXPECT_EQ(this->Sorted(ListValues(this->reg(), this->reg().CurrentUser(), kEudcKey).values), before);
  EXPECT_EQ(journal.Read().state, JournalState::Absent);
}

TYPED_TEST_P(RawValuesSuite, AnAbsentEudcKeyEndsWithTheWindowsDefault) {
  typename TypeParam::Files files;
  Journal journal(this->reg());
  EudcSwitch eudc(this->reg(), files, journal);
  ASSERT_TRUE(eudc.SaveAndClearEudcSettings("Z:\\tmp\\mine.tte").ok());
  EXPECT_FALSE(journal.Read().record.keyExisted);
  EXPECT_TRUE(eudc.SetSystemFont("Z:\\tmp\\mine.tte").ok());
  EXPECT_TRUE(eudc.RestoreEudcSettings().complete());
  eudc.DropJournal();
  const std::u16string windowsDefault = Utf8ToUtf16(eudc.GetWindowsDir() + "\\EUDC.TTE");
  EXPECT_EQ(ListValues(this->reg(), this->reg().CurrentUser(), kEudcKey).values,
            (std::vector<RawValue>{TextValue(u"SystemDefaultEUDCFont", windowsDefault)}));
}

REGISTER_TYPED_TEST_SUITE_P(RawValuesSuite, AnAbsentKeyIsToldApartFromAnEmptyOne,
                            ValuesComeBackByteForByte, TheEudcSwitchRestoresTheKeyExactly,
                            AnAbsentEudcKeyEndsWithTheWindowsDefault);

}  // namespace tavrel::testing
