#include "suites/fake_inifile_backend.h"
#include "suites/inifile_suite.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, InifileSuite, FakeInifileBackend);

namespace {

using fakes::MakeOleDate;

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

}  // namespace
}  // namespace tavrel::testing
