// cInifile, and the profile and variant calls it stands on, against a backend:
// the fakes on the host, kernel32 and oleaut32 under Wine with the Japanese
// locale. Each test works on files of its own. Date texts differ between
// locales, so these tests hold to what every locale must give: values read
// back, fallbacks, and the dates of texts that all of them read alike.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/fake_variant.h"
#include "platform/text.h"
#include "settings/cinifile.h"

namespace tavrel {

inline void PrintTo(const OleDate& date, std::ostream* os) {
  *os << "DATE " << std::setprecision(15) << date.value;
}

}  // namespace tavrel

namespace tavrel::testing {

inline bool SameSecond(OleDate a, OleDate b) {
  return std::fabs(a.value - b.value) * 86400.0 < 0.5;
}

// What a profile read returned, and the buffer after it.
using Answer = std::pair<DWORD, std::string>;

// A literal's bytes, embedded NULs included.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

template <typename Backend>
class InifileSuite : public ::testing::Test {
 protected:
  InifileSuite() { ini_.FileName(file_); }

  IProfile& profile() { return backend_.profile(); }
  bool FileExists() const { return backend_.FileExists(file_); }
  // The raw call into a buffer of `size` bytes primed with '#'.
  Answer Get(const char* section, const char* key, const char* def, DWORD size) {
    std::string buffer(size, '#');
    const DWORD n =
        profile().GetPrivateProfileStringA(section, key, def, buffer.data(), size, file_.c_str());
    return {n, buffer};
  }

  Backend backend_;
  const std::string file_ = backend_.PathOf("settings.ini");
  cInifile ini_{backend_.profile(), backend_.variants()};
};

TYPED_TEST_SUITE_P(InifileSuite);

TYPED_TEST_P(InifileSuite, ANewInstanceHasNoFileNameAndWritesNowhere) {
  cInifile fresh(this->backend_.profile(), this->backend_.variants());
  EXPECT_EQ(fresh.FileName(), "");
  EXPECT_EQ(fresh.WriteStr("S", "K", "v"), 0);
  EXPECT_EQ(fresh.ReadStr("S", "K", "def"), "def");
  EXPECT_EQ(fresh.DeleteSection("S"), 0);
  EXPECT_EQ(fresh.Refresh(), 0);
}

TYPED_TEST_P(InifileSuite, ReadingAMissingFileGivesTheDefaultsAndCreatesNothing) {
  auto& ini = this->ini_;
  const OleDate def = fakes::MakeOleDate(2021, 7, 8, 9, 10, 11);
  // Def is given back as it is, trailing blanks included: it never passes
  // through the platform, which would cut them.
  EXPECT_EQ(ini.ReadStr("S", "K", "def  "), "def  ");
  EXPECT_EQ(ini.ReadInt("S", "K", 7), 7);
  EXPECT_PRED2(SameSecond, ini.ReadDate("S", "K", def), def);
  EXPECT_NE(ini.DeleteSection("S"), 0);
  EXPECT_FALSE(this->FileExists());
}

TYPED_TEST_P(InifileSuite, WrittenTextReadsBackUnderAnyCaseOfItsNames) {
  struct Row {
    const char* section;
    const char* key;
    const char* value;
  };
  const Row rows[] = {{"General", "Name", "Tavrel"},
                      {"表示", "フォント", "ＭＳ ゴシック"},
                      {"Paths", "Exe", "C:\\Program Files\\外字\\app.exe"},
                      {"General", "Formula", "a=b;c"}};
  auto& ini = this->ini_;
  for (const Row& row : rows) EXPECT_NE(ini.WriteStr(row.section, row.key, row.value), 0);
  EXPECT_TRUE(this->FileExists());
  for (const Row& row : rows) EXPECT_EQ(ini.ReadStr(row.section, row.key, "?"), row.value);
  EXPECT_EQ(ini.ReadStr("GENERAL", "name", "?"), "Tavrel");
  EXPECT_NE(ini.WriteStr("general", "NAME", "again"), 0);
  EXPECT_EQ(ini.ReadStr("General", "Name", "?"), "again");
}

TYPED_TEST_P(InifileSuite, AFileNamedInJapaneseIsCreatedUnderThatName) {
  const std::string file = this->backend_.PathOf("設定.ini");
  this->ini_.FileName(file);
  EXPECT_EQ(this->ini_.FileName(), file);
  EXPECT_NE(this->ini_.WriteStr("S", "K", "値"), 0);
  EXPECT_TRUE(this->backend_.FileExists(file));
  EXPECT_EQ(this->ini_.ReadStr("S", "K", "?"), "値");
}

TYPED_TEST_P(InifileSuite, AnEmptyValueReadsAsDef) {
  auto& ini = this->ini_;
  for (const char* empty : {"", "   ", "\"\""}) {
    SCOPED_TRACE(empty);
    EXPECT_NE(ini.WriteStr("S", "K", empty), 0);
    EXPECT_EQ(ini.ReadStr("S", "K", "def"), "def");
  }
  EXPECT_EQ(ini.ReadStr("S", "other", "def"), "def");
  EXPECT_EQ(ini.ReadStr("other", "K", "def"), "def");
}

TYPED_TEST_P(InifileSuite, ValuesReadBackTrimmedAndUnquoted) {
  const std::pair<const char*, const char*> rows[] = {
      {"  padded  ", "padded"}, {"\"quoted\"", "quoted"}, {"' inner '", " inner "},
      {"\"half", "\"half"},     {"\"a\" b", "\"a\" b"},   {"x ; no comment", "x ; no comment"}};
  for (const auto& [written, read] : rows) {
    SCOPED_TRACE(written);
    EXPECT_NE(this->ini_.WriteStr("S", "K", written), 0);
    EXPECT_EQ(this->ini_.ReadStr("S", "K", "?"), read);
  }
}

TYPED_TEST_P(InifileSuite, LongValuesComeBackAsTheirFirst1023Bytes) {
  for (const size_t length : {1023u, 1024u, 2000u}) {
    SCOPED_TRACE(length);
    std::string value;
    for (size_t i = 0; i < length; ++i) value += static_cast<char>('a' + i % 26);
    EXPECT_NE(this->ini_.WriteStr("S", "K", value), 0);
    EXPECT_EQ(this->ini_.ReadStr("S", "K", "?"), value.substr(0, 1023));
  }
}

TYPED_TEST_P(InifileSuite, ReadIntGivesDefWhenMissingAndZeroWhenNotAnInteger) {
  struct Row {
    std::optional<const char*> stored;
    SHORT def;
    SHORT expected;
  };
  const Row rows[] = {{std::nullopt, 7, 7},  {std::nullopt, -32768, -32768},
                      {"abc", 7, 0},         {"12abc", 7, 0},
                      {"40000", 7, 0},       {"-32769", 7, 0},
                      {"32767.5", 7, 0},     {"32767", 7, 32767},
                      {"-32768", 7, -32768}, {"-32768.5", 7, -32768},
                      {"2.5", 7, 2},         {"3.5", 7, 4},
                      {"-2.5", 7, -2},       {"0.51", 7, 1},
                      {"\" 12 \"", 7, 12},   {"1,234", 7, 1234},
                      {"1e3", 7, 1000},      {"25e-1", 7, 2},
                      {"(5)", 7, -5},        {"5-", 7, -5}};
  auto& ini = this->ini_;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stored.value_or("(missing)"));
    EXPECT_NE(row.stored ? ini.WriteStr("S", "K", *row.stored) : ini.DeleteSection("S"), 0);
    EXPECT_EQ(ini.ReadInt("S", "K", row.def), row.expected);
  }
}

TYPED_TEST_P(InifileSuite, ReadDateOfAMissingKeyGivesDefToTheSecond) {
  using fakes::MakeOleDate;
  const std::pair<OleDate, OleDate> rows[] = {
      {MakeOleDate(2023, 3, 15), MakeOleDate(2023, 3, 15)},
      {MakeOleDate(2023, 3, 15, 12, 34, 56.4), MakeOleDate(2023, 3, 15, 12, 34, 56)},
      {MakeOleDate(2023, 3, 15, 23, 59, 59.6), MakeOleDate(2023, 3, 16)},
      {MakeOleDate(1899, 12, 30, 12, 0, 0), MakeOleDate(1899, 12, 30, 12, 0, 0)},
      {MakeOleDate(1850, 6, 1, 6, 0, 0), MakeOleDate(1850, 6, 1, 6, 0, 0)}};
  for (const auto& [def, expected] : rows) {
    SCOPED_TRACE(::testing::PrintToString(def));
    EXPECT_PRED2(SameSecond, this->ini_.ReadDate("S", "K", def), expected);
  }
}

TYPED_TEST_P(InifileSuite, ReadDateReadsStoredDatesAndGivesNowForOtherText) {
  using fakes::MakeOleDate;
  auto& ini = this->ini_;
  const OleDate def = MakeOleDate(2000, 1, 1);
  const std::pair<const char*, OleDate> dates[] = {
      {"2023/03/15", MakeOleDate(2023, 3, 15)},
      {"2023/3/5 1:02:03", MakeOleDate(2023, 3, 5, 1, 2, 3)},
      {"1850/06/01 06:00:00", MakeOleDate(1850, 6, 1, 6, 0, 0)},
      {"12:34:56", MakeOleDate(1899, 12, 30, 12, 34, 56)}};
  for (const auto& [text, expected] : dates) {
    SCOPED_TRACE(text);
    EXPECT_NE(ini.WriteStr("S", "K", text), 0);
    EXPECT_PRED2(SameSecond, ini.ReadDate("S", "K", def), expected);
  }
  for (const char* text : {"abc", "日付ではない", "2023/02/30", "12", "25:00"}) {
    SCOPED_TRACE(text);
    EXPECT_NE(ini.WriteStr("S", "K", text), 0);
    const double before = this->backend_.variants().Now().value;
    const double read = ini.ReadDate("S", "K", def).value;
    const double after = this->backend_.variants().Now().value;
    EXPECT_GE(read * 86400.0, before * 86400.0 - 1.0);
    EXPECT_LE(read * 86400.0, after * 86400.0 + 1.0);
  }
}

TYPED_TEST_P(InifileSuite, DeleteSectionRemovesThatSectionOnly) {
  auto& ini = this->ini_;
  ini.WriteStr("A", "k1", "1");
  ini.WriteStr("A", "k2", "2");
  ini.WriteStr("B", "k1", "3");
  EXPECT_NE(ini.DeleteSection("a"), 0);
  EXPECT_EQ(ini.ReadStr("A", "k1", "gone"), "gone");
  EXPECT_EQ(ini.ReadStr("A", "k2", "gone"), "gone");
  EXPECT_EQ(ini.ReadStr("B", "k1", "gone"), "3");
  EXPECT_NE(ini.DeleteSection("never there"), 0);
  EXPECT_NE(ini.WriteStr("A", "k1", "back"), 0);
  EXPECT_EQ(ini.ReadStr("A", "k1", "gone"), "back");
}

TYPED_TEST_P(InifileSuite, RefreshReportsZeroAndKeepsWhatWasWritten) {
  EXPECT_EQ(this->ini_.Refresh(), 0);
  EXPECT_FALSE(this->FileExists());
  this->ini_.WriteStr("S", "K", "kept");
  EXPECT_EQ(this->ini_.Refresh(), 0);
  EXPECT_EQ(this->ini_.ReadStr("S", "K", "?"), "kept");
}

// The profile calls themselves, where the fake must answer as kernel32 does.
TYPED_TEST_P(InifileSuite, ProfileReadsCutTheDefaultAndTheValueToTheBuffer) {
  EXPECT_EQ(this->Get("S", "K", "def  ", 8), Answer(3, Bytes("def\0####")));
  EXPECT_EQ(this->Get("S", "K", nullptr, 4), Answer(0, Bytes("\0###")));
  this->profile().WritePrivateProfileStringA("S", "K", "padded", this->file_.c_str());
  EXPECT_EQ(this->Get("S", "K", "d", 4), Answer(3, Bytes("pad\0")));
  EXPECT_EQ(this->Get("S", "K", "d", 1), Answer(0, Bytes("\0")));
}

TYPED_TEST_P(InifileSuite, ProfileListsSectionAndKeyNames) {
  auto& p = this->profile();
  const char* file = this->file_.c_str();
  EXPECT_EQ(this->Get(nullptr, nullptr, "d", 8).first, 0u);
  p.WritePrivateProfileStringA(" A ", "k1", "1", file);
  p.WritePrivateProfileStringA("a", " k2 ", "2", file);
  p.WritePrivateProfileStringA("B", "k", "3", file);
  EXPECT_EQ(this->Get(nullptr, nullptr, "d", 8), Answer(4, Bytes("A\0B\0\0###")));
  EXPECT_EQ(this->Get("A", nullptr, "d", 8), Answer(6, Bytes("k1\0k2\0\0#")));
  EXPECT_EQ(this->Get("C", nullptr, "d", 4), Answer(1, Bytes("d\0##")));
}

TYPED_TEST_P(InifileSuite, ProfileWritesWithNullArguments) {
  auto& p = this->profile();
  const char* file = this->file_.c_str();
  EXPECT_EQ(p.WritePrivateProfileStringA(nullptr, nullptr, nullptr, file), 0);
  EXPECT_EQ(p.WritePrivateProfileStringA(nullptr, "K", "v", file), 0);
  EXPECT_NE(p.WritePrivateProfileStringA("S", "K", nullptr, file), 0);
  EXPECT_NE(p.WritePrivateProfileStringA("S", nullptr, nullptr, file), 0);
  EXPECT_FALSE(this->FileExists());
  p.WritePrivateProfileStringA("S", "K", "v", file);
  p.WritePrivateProfileStringA("S", "L", "w", file);
  EXPECT_NE(p.WritePrivateProfileStringA("s", "k", nullptr, file), 0);
  EXPECT_EQ(this->Get("S", nullptr, "d", 6), Answer(2, Bytes("L\0\0###")));
  EXPECT_NE(p.WritePrivateProfileStringA("s", nullptr, "ignored", file), 0);
  EXPECT_EQ(this->Get(nullptr, nullptr, "d", 4).first, 0u);
  EXPECT_TRUE(this->FileExists());
}

// The conversions themselves: result codes, and dates that survive their own text.
TYPED_TEST_P(InifileSuite, VariantResultCodesAndDateTextRoundTrips) {
  auto& v = this->backend_.variants();
  const std::pair<const char16_t*, HRESULT> codes[] = {{u"12", kSOk},
                                                       {u"", kDispETypeMismatch},
                                                       {u"abc", kDispETypeMismatch},
                                                       {u"1 2", kDispETypeMismatch},
                                                       {u"40000", kDispEOverflow},
                                                       {u"-32768.5", kSOk},
                                                       {u"-32769", kDispEOverflow},
                                                       {u"1e400", kDispEOverflow}};
  for (const auto& [text, code] : codes) {
    SHORT out = 0;
    EXPECT_EQ(v.VarI2FromStr(text, kLocaleUserDefault, 0, &out), code) << Utf16ToUtf8(text);
  }
  using fakes::MakeOleDate;
  for (const OleDate date : {MakeOleDate(2023, 3, 15), MakeOleDate(2023, 3, 15, 0, 0, 1),
                             MakeOleDate(1899, 12, 30), MakeOleDate(1899, 12, 29, 12),
                             MakeOleDate(100, 1, 1), MakeOleDate(9999, 12, 31, 23, 59, 59)}) {
    std::u16string text;
    OleDate back{-1};
    ASSERT_EQ(v.VarBstrFromDate(date, kLocaleUserDefault, 0, &text), kSOk) << date.value;
    EXPECT_EQ(v.VarDateFromStr(text.c_str(), kLocaleUserDefault, 0, &back), kSOk);
    EXPECT_PRED2(SameSecond, back, date) << Utf16ToUtf8(text);
  }
  std::u16string text;
  EXPECT_EQ(v.VarBstrFromDate(OleDate{3e6}, kLocaleUserDefault, 0, &text), kEInvalidArg);
}

// The text of a date: its date part only when it is not day zero
// (1899/12/30), its time part only when it is not midnight, to the second.
TYPED_TEST_P(InifileSuite, VariantDateTextShowsOnlyThePartsThatAreThere) {
  using fakes::MakeOleDate;
  struct Row {
    OleDate date;
    bool hasDate;
    bool hasTime;
    OleDate readBack;  // what the text reads back as
  };
  // A time that rounds up to midnight: Wine decides on the unrounded value
  // and writes "0:00:00" after the next day's date.
  const bool timeOfRoundedMidnight = TypeParam::UnderWine();
  const Row rows[] = {
      {MakeOleDate(2023, 3, 15), true, false, MakeOleDate(2023, 3, 15)},
      {MakeOleDate(2023, 3, 5, 1, 2, 3), true, true, MakeOleDate(2023, 3, 5, 1, 2, 3)},
      {MakeOleDate(2023, 3, 15, 6, 0, 0.4), true, true, MakeOleDate(2023, 3, 15, 6, 0, 0)},
      {MakeOleDate(2023, 3, 15, 6, 0, 0.6), true, true, MakeOleDate(2023, 3, 15, 6, 0, 1)},
      {MakeOleDate(2023, 3, 15, 23, 59, 59.6), true, timeOfRoundedMidnight,
       MakeOleDate(2023, 3, 16)},
      {MakeOleDate(1899, 12, 30, 12), false, true, MakeOleDate(1899, 12, 30, 12)},
      {OleDate{0.0}, false, true, OleDate{0.0}},
      {OleDate{-1.5}, true, true, MakeOleDate(1899, 12, 29, 12)}};
  auto& v = this->backend_.variants();
  for (const Row& row : rows) {
    std::u16string text;
    ASSERT_EQ(v.VarBstrFromDate(row.date, kLocaleUserDefault, 0, &text), kSOk) << row.date.value;
    const std::string shown = Utf16ToUtf8(text);
    SCOPED_TRACE(shown);
    EXPECT_EQ(shown.find('/') != std::string::npos, row.hasDate);
    EXPECT_EQ(shown.find(':') != std::string::npos, row.hasTime);
    OleDate back{-1};
    EXPECT_EQ(v.VarDateFromStr(text.c_str(), kLocaleUserDefault, 0, &back), kSOk);
    EXPECT_PRED2(SameSecond, back, row.readBack);
  }
}

// Texts a user might have written: blanks around, dashes, two-digit years
// (1950 to 2049, the calendar's default window on current Windows), a time
// alone; and dates that do not exist.
TYPED_TEST_P(InifileSuite, VariantDatesReadFromTheirUsualTexts) {
  using fakes::MakeOleDate;
  const std::pair<const char16_t*, std::optional<OleDate>> rows[] = {
      {u" 2023-3-15 ", MakeOleDate(2023, 3, 15)},
      {u"29/1/2", MakeOleDate(2029, 1, 2)},
      {u"49/1/2", MakeOleDate(2049, 1, 2)},
      {u"50/1/2", MakeOleDate(1950, 1, 2)},
      {u"2024/02/29 0:00", MakeOleDate(2024, 2, 29)},
      {u"9:05", MakeOleDate(1899, 12, 30, 9, 5)},
      {u"2023/02/29", std::nullopt},
      {u"2023/3/15 12:34:60", std::nullopt},
      {u"2023/3/15T12:34", std::nullopt},
      {u"2023/3/15 12", std::nullopt}};
  auto& v = this->backend_.variants();
  for (const auto& [text, expected] : rows) {
    SCOPED_TRACE(Utf16ToUtf8(text));
    OleDate date{-1};
    const HRESULT hr = v.VarDateFromStr(text, kLocaleUserDefault, 0, &date);
    EXPECT_EQ(hr, expected ? kSOk : kDispETypeMismatch);
    if (expected) {
      EXPECT_PRED2(SameSecond, date, *expected);
    }
  }
}

// A value or a list of names cut to the buffer: by bytes, even inside a
// double-byte character; a cut list ends with two NULs and counts size - 2.
// Wine keeps a double-byte character whole, and cuts a list one byte short
// with a single NUL, even one that would fit exactly.
TYPED_TEST_P(InifileSuite, ProfileReadsCutByBytesAndEndCutListsWithTwoNuls) {
  auto& p = this->profile();
  const char* file = this->file_.c_str();
  const std::string nihon = Utf8ToAnsi("日本");
  p.WritePrivateProfileStringA("S", "J", nihon.c_str(), file);
  p.WritePrivateProfileStringA("S", "Q", "x", file);
  const bool wine = TypeParam::UnderWine();
  EXPECT_EQ(this->Get("S", "J", "", 4),
            Answer(3, nihon.substr(0, wine ? 2 : 3) + (wine ? Bytes("#\0") : Bytes("\0"))));
  EXPECT_EQ(this->Get("S", nullptr, "", 5),
            wine ? Answer(3, Bytes("J\0Q\0#")) : Answer(4, Bytes("J\0Q\0\0")));
  EXPECT_EQ(this->Get("S", nullptr, "", 4), Answer(2, wine ? Bytes("J\0\0#") : Bytes("J\0\0\0")));
  // Trailing blanks of the default go, a tab stays.
  EXPECT_EQ(this->Get("S", "none", "\"q\"\t ", 8), Answer(4, Bytes("\"q\"\t\0###")));
}

REGISTER_TYPED_TEST_SUITE_P(
    InifileSuite, ANewInstanceHasNoFileNameAndWritesNowhere,
    ReadingAMissingFileGivesTheDefaultsAndCreatesNothing,
    WrittenTextReadsBackUnderAnyCaseOfItsNames, AFileNamedInJapaneseIsCreatedUnderThatName,
    AnEmptyValueReadsAsDef, ValuesReadBackTrimmedAndUnquoted,
    LongValuesComeBackAsTheirFirst1023Bytes, ReadIntGivesDefWhenMissingAndZeroWhenNotAnInteger,
    ReadDateOfAMissingKeyGivesDefToTheSecond, ReadDateReadsStoredDatesAndGivesNowForOtherText,
    DeleteSectionRemovesThatSectionOnly, RefreshReportsZeroAndKeepsWhatWasWritten,
    ProfileReadsCutTheDefaultAndTheValueToTheBuffer, ProfileListsSectionAndKeyNames,
    ProfileWritesWithNullArguments, ProfileReadsCutByBytesAndEndCutListsWithTwoNuls,
    VariantResultCodesAndDateTextRoundTrips, VariantDateTextShowsOnlyThePartsThatAreThere,
    VariantDatesReadFromTheirUsualTexts);

}  // namespace tavrel::testing
