// The EUDC key's contract, run against the fake and against the real
// HKEY_CURRENT_USER\EUDC\932 and \1252. The backend adapter gives `seam()`
// and starts and ends each test without those keys.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "base/text.h"
#include "eudc/eudc_key.h"

namespace tavrel {
inline void PrintTo(const RawValue& v, std::ostream* os) {
  *os << "{" << Utf16ToUtf8(v.name.substr(0, 40)) << ", type " << v.type << ", " << v.data.size()
      << " bytes:";
  for (size_t i = 0; i < v.data.size() && i < 16; ++i) *os << " " << int{v.data[i]};
  *os << (v.data.size() > 16 ? " ...}" : "}");
}
}  // namespace tavrel

namespace tavrel::testing {

// Values that a careless size, the ANSI calls or a fixed buffer would change.
// "03" grows when a NUL follows its data in memory: Windows, and Wine too,
// then count it in. The names sort in the order written: Wine lists values
// by name, Windows in the order they were created, and both must give this
// order back.
inline std::vector<RawValue> AwkwardValues() {
  return {
      TextValue(u"01 SystemDefaultEUDCFont", u"%SystemRoot%\\EUDC.TTE"),
      RawValue{u"02 Expand", kRegExpandSz, Utf16Bytes(u"%WINDIR%\\Fonts\\x.tte")},
      RawValue{u"03 No NUL", kRegSz, Utf16Bytes(u"abc", false)},
      RawValue{u"04 Odd size", kRegSz, {'a', 0, 'b'}},
      RawValue{u"05 Inner NUL", kRegSz, Utf16Bytes(std::u16string_view(u"one\0two", 7))},
      RawValue{u"06 Multi", kRegMultiSz, Utf16Bytes(std::u16string_view(u"a.tte\0b.tte\0", 12))},
      RawValue{u"07 Blob", kRegBinary, {0x00, 0xFF, 0x10, 0x80}},
      RawValue{u"08 Number", kRegDword, {1, 2, 3, 4}},
      RawValue{u"09 Empty text", kRegSz, {}},
      RawValue{u"10 Empty", kRegBinary, {}},
      TextValue(Utf8ToUtf16("11 café 한글 😀"), Utf8ToUtf16("D:\\é\\한😀.tte")),
      TextValue(u"12 " + std::u16string(300, u'n'), std::u16string(20000, u'L')),
  };
}

// The keys the tests use: most tests address EUDC\932 alone.
inline constexpr CodePage kJapanese = kJapaneseCodePage;
inline constexpr CodePage kWestern = 1252;

template <typename Backend>
class EudcKeyContract : public ::testing::Test {
 protected:
  IEudcKey& key() { return backend_.seam(); }
  Backend backend_;
};

TYPED_TEST_SUITE_P(EudcKeyContract);

TYPED_TEST_P(EudcKeyContract, ValuesReadBackExactlyAndInOrder) {
  EXPECT_TRUE(this->key().Write(kJapanese, AwkwardValues()).empty());
  EXPECT_EQ(this->key().Flush(kJapanese), kSuccess);
  const KeyReading reading = this->key().ReadAll(kJapanese);
  EXPECT_EQ(reading.outcome, KeyReading::Outcome::Listed);
  EXPECT_EQ(reading.values, AwkwardValues());
}

// The key is created before any value is stored: a Write of none creates it.
TYPED_TEST_P(EudcKeyContract, AMissingKeyReadsAbsentUntilAWriteCreatesIt) {
  EXPECT_EQ(this->key().ReadAll(kJapanese).outcome, KeyReading::Outcome::Absent);
  EXPECT_TRUE(this->key().Write(kJapanese, {}).empty());
  const KeyReading reading = this->key().ReadAll(kJapanese);
  EXPECT_EQ(reading.outcome, KeyReading::Outcome::Listed);
  EXPECT_TRUE(reading.values.empty());
}

// Names compare without regard to case; the stored name keeps its first
// spelling, and its place among the others.
TYPED_TEST_P(EudcKeyContract, ASecondWriteReplacesTheValueInPlace) {
  const std::vector<RawValue> first{TextValue(u"Font", u"C:\\a.tte"), TextValue(u"Other", u"x")};
  ASSERT_TRUE(this->key().Write(kJapanese, first).empty());
  const RawValue again{u"FONT", kRegBinary, {7}};
  EXPECT_TRUE(this->key().Write(kJapanese, {&again, 1}).empty());
  EXPECT_EQ(this->key().ReadAll(kJapanese).values,
            (std::vector<RawValue>{RawValue{u"Font", kRegBinary, {7}}, first[1]}));
}

// Each code page has a key of its own.
TYPED_TEST_P(EudcKeyContract, TheKeysOfTwoCodePagesAreApart) {
  const RawValue western = TextValue(kSystemDefaultEudcFont, u"C:\\western.tte");
  EXPECT_TRUE(this->key().Write(kWestern, {&western, 1}).empty());
  EXPECT_EQ(this->key().Flush(kWestern), kSuccess);
  EXPECT_EQ(this->key().ReadAll(kJapanese).outcome, KeyReading::Outcome::Absent);
  EXPECT_EQ(this->key().ReadAll(kWestern).values, std::vector<RawValue>{western});
}

TYPED_TEST_P(EudcKeyContract, TheWindowsDirectoryIsAFullPathWithoutATrailingBackslash) {
  const std::optional<std::u16string> folder = this->key().WindowsDirectory();
  ASSERT_TRUE(folder);
  ASSERT_GT(folder->size(), 3u);
  EXPECT_EQ(folder->substr(1, 2), u":\\");
  EXPECT_NE(folder->back(), u'\\');
}

REGISTER_TYPED_TEST_SUITE_P(EudcKeyContract, ValuesReadBackExactlyAndInOrder,
                            AMissingKeyReadsAbsentUntilAWriteCreatesIt,
                            ASecondWriteReplacesTheValueInPlace, TheKeysOfTwoCodePagesAreApart,
                            TheWindowsDirectoryIsAFullPathWithoutATrailingBackslash);

}  // namespace tavrel::testing
