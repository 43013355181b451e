#include "suites/fake_backends.h"
#include "suites/raw_values_suite.h"
#include "suites/registry_helpers_suite.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryHelpersSuite, FakeRegistryBackend);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RawValuesSuite, FakeRegistryBackend);

namespace {

constexpr const char* kKey = "EUDC\\932";

TEST(TrimAtNul, CutsAtTheFirstNulOnly) {
  EXPECT_EQ(TrimAtNul("abc"), "abc");
  EXPECT_EQ(TrimAtNul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(TrimAtNul(std::string_view("\0cd", 3)), "");
  EXPECT_EQ(TrimAtNul(""), "");
}

class RegistryHelpersFaults : public ::testing::Test {
 protected:
  fakes::FakeRegistry reg_;
  RegistryHelpers helpers_{reg_};
  Hkey hkcu() { return reg_.CurrentUser(); }
};

TEST_F(RegistryHelpersFaults, AKeyTheUserMayOnlyReadActsAsMissing) {
  reg_.SetText(kKey, "SystemDefaultEUDCFont", "C:\\WINDOWS\\EUDC.TTE");
  reg_.SetReadOnly(kKey);
  EXPECT_EQ(helpers_.EnumRegValueNames(hkcu(), kKey), -1);
  EXPECT_EQ(helpers_.ReadRegValue(hkcu(), kKey, "SystemDefaultEUDCFont", kRegTypeText, std::string()),
            RegVariant(std::string()));
  EXPECT_FALSE(helpers_.WriteRegValue(hkcu(), kKey, "x", kRegTypeText, std::string("y")));
  EXPECT_EQ(reg_.GetText(kKey, "SystemDefaultEUDCFont"), "C:\\WINDOWS\\EUDC.TTE");
}

TEST_F(RegistryHelpersFaults, AFailingIndexEndsTheListingAndEveryKeyIsClosed) {
  reg_.SetText(kKey, "a", "1");
  reg_.SetText(kKey, "b", "2");
  reg_.SetText(kKey, "c", "3");
  reg_.InjectFault(2, kErrorIoDevice);  // open, enum 0, enum 1 fails
  EXPECT_EQ(helpers_.EnumRegValueNames(hkcu(), kKey), 0);
  EXPECT_EQ(helpers_.strRegValueNames, std::vector<std::string>{"a"});
  EXPECT_EQ(reg_.OpenHandleCount(), 0u);
}

TEST_F(RegistryHelpersFaults, FailedWritesAndReadsLeaveNoKeyOpen) {
  reg_.SetText(kKey, "a", "1");
  reg_.InjectFault(1, kErrorAccessDenied);  // the set after the create
  EXPECT_FALSE(helpers_.WriteRegValue(hkcu(), kKey, "a", kRegTypeText, std::string("2")));
  reg_.InjectFault(3, kErrorIoDevice);  // the query after the open
  EXPECT_EQ(helpers_.ReadRegValue(hkcu(), kKey, "a", kRegTypeText, std::string("d")),
            RegVariant(std::string("d")));
  EXPECT_EQ(reg_.GetText(kKey, "a"), "1");
  EXPECT_EQ(reg_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tavrel::testing
