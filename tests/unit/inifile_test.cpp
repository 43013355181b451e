#include <algorithm>
#include <iterator>

#include "platform/text.h"
#include "suites/fake_inifile_backend.h"
#include "suites/inifile_suite.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, InifileSuite, FakeInifileBackend);

namespace {

using fakes::MakeOleDate;

// The exact texts of the fake's Japanese conventions; a real locale may
// differ (Wine's writes 2023/3/5), so these are not in the shared suite.
TEST(FakeVariantDateText, ShortDateThenTimeUnlessMidnight) {
  const std::pair<OleDate, const char*> rows[] = {
      {MakeOleDate(2023, 3, 15), "2023/03/15"},
      {MakeOleDate(2023, 3, 5, 1, 2, 3), "2023/03/05 1:02:03"},
      {MakeOleDate(2023, 3, 15, 6, 0, 0.4), "2023/03/15 6:00:00"},
      {MakeOleDate(2023, 3, 15, 6, 0, 0.6), "2023/03/15 6:00:01"},
      {MakeOleDate(2023, 3, 15, 23, 59, 59.6), "2023/03/16"},
      {MakeOleDate(1899, 12, 30, 12), "12:00:00"},
      {OleDate{0.0}, "0:00:00"},
      {OleDate{-1.5}, "1899/12/29 12:00:00"}};
  fakes::FakeVariantConversions v;
  for (const auto& [date, expected] : rows) {
    std::u16string text;
    EXPECT_EQ(v.VarBstrFromDate(date, kLocaleUserDefault, 0, &text), kSOk);
    EXPECT_EQ(Utf16ToUtf8(text), expected);
  }
}

TEST(FakeVariantDateText, ReadsDatesTimesAndTwoDigitYears) {
  const std::pair<const char16_t*, std::optional<OleDate>> rows[] = {
      {u" 2023-3-15 ", MakeOleDate(2023, 3, 15)},
      {u"29/1/2", MakeOleDate(2029, 1, 2)},
      {u"30/1/2", MakeOleDate(1930, 1, 2)},
      {u"2024/02/29 0:00", MakeOleDate(2024, 2, 29)},
      {u"9:05", MakeOleDate(1899, 12, 30, 9, 5)},
      {u"2023/02/29", std::nullopt},
      {u"2023/3/15 12:34:60", std::nullopt},
      {u"2023/3/15T12:34", std::nullopt},
      {u"2023/3/15 12", std::nullopt}};
  fakes::FakeVariantConversions v;
  for (const auto& [text, expected] : rows) {
    SCOPED_TRACE(Utf16ToUtf8(text));
    OleDate date;
    const HRESULT hr = v.VarDateFromStr(text, kLocaleUserDefault, 0, &date);
    EXPECT_EQ(hr, expected ? kSOk : kDispETypeMismatch);
    if (expected) {
      EXPECT_EQ(date, *expected);
    }
  }
}

class FakeInifile : public ::testing::Test {
 protected:
  FakeInifile() { ini_.FileName("C:\\Tavrel\\Tavrel.ini"); }
  fakes::FakeProfile profile_;
  fakes::FakeVariantConversions variants_;
  cInifile ini_{profile_, variants_};
};

TEST_F(FakeInifile, ReadDateFallsBackToExactlyNow) {
  const OleDate now = MakeOleDate(2030, 1, 2, 3, 4, 5);
  variants_.SetNow(now);
  ini_.WriteStr("S", "K", "not a date");
  EXPECT_EQ(ini_.ReadDate("S", "K", MakeOleDate(2000, 1, 1)), now);
  // A Def without a text form cannot be looked up at all.
  EXPECT_EQ(ini_.ReadDate("S", "missing", OleDate{1e7}), now);
}

TEST_F(FakeInifile, WritesTextAsGivenAndLeavesTrimmingToTheRead) {
  ini_.WriteStr("表示", "幅", "  ' 全角 '  ");
  EXPECT_EQ(profile_.StoredValue("c:\\tavrel\\tavrel.ini", "表示", "幅"), "  ' 全角 '  ");
  EXPECT_EQ(ini_.ReadStr("表示", "幅", "?"), " 全角 ");
}

// Where Wine departs from the documented buffer rules the fake keeps to the
// documentation; these cases stay out of the shared suite.
TEST(FakeProfileBuffers, CutsByBytesAndEndsCutListsWithTwoNuls) {
  fakes::FakeProfile profile;
  const char* file = "C:\\Tavrel\\t.ini";
  const std::string nihon = Utf8ToAnsi("日本");
  profile.WritePrivateProfileStringA("S", "J", nihon.c_str(), file);
  profile.WritePrivateProfileStringA("S", "Q", "x", file);
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(profile.GetPrivateProfileStringA("S", "J", "", buffer, 4, file), 3u);
  EXPECT_EQ(std::string(buffer, 4), nihon.substr(0, 3) + '\0');
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(profile.GetPrivateProfileStringA("S", nullptr, "", buffer, 4, file), 2u);
  EXPECT_EQ(std::string(buffer, 5), std::string("J\0\0\0#", 5));
  EXPECT_EQ(profile.GetPrivateProfileStringA("S", "none", "\"q\"\t ", buffer, 8, file), 4u);
  EXPECT_EQ(std::string(buffer), "\"q\"\t");
}

}  // namespace
}  // namespace tavrel::testing
