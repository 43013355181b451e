// The registry helpers against a registry backend: the fake on the host, the
// real registry under Wine. Each test works below a scratch key of its own.
#pragma once

#include <gtest/gtest.h>

#include <set>

#include "eudc/registry_helpers.h"
#include "suites/registry_kit.h"

namespace tavrel::testing {

template <typename Backend>
class RegistryHelpersSuite : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\Tavrel Tests\\Helpers";
  static constexpr const char* kParent = "Software\\Tavrel Tests";

  void SetUp() override { DeleteTree(reg(), kParent); }
  void TearDown() override { DeleteTree(reg(), kParent); }

  IRegistry& reg() { return backend_.registry(); }
  Hkey hkcu() { return reg().CurrentUser(); }

  Backend backend_;
  RegistryHelpers helpers_{backend_.registry()};
};

TYPED_TEST_SUITE_P(RegistryHelpersSuite);

TYPED_TEST_P(RegistryHelpersSuite, MissingKeyGivesMinusOneAndTheDefaultWithItsTag) {
  auto& h = this->helpers_;
  h.strRegValueNames = {"left", "over"};
  EXPECT_EQ(h.EnumRegValueNames(this->hkcu(), this->kKey), -1);
  EXPECT_EQ(h.strRegValueNames, std::vector<std::string>{""});
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "x", kRegTypeText, std::string("def")),
            RegVariant(std::string("def")));
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "x", kRegTypeText, std::int32_t{7}),
            RegVariant(std::int32_t{7}));
}

TYPED_TEST_P(RegistryHelpersSuite, ListsNamesInRegistryOrderWhateverTheirLength) {
  // 79 bytes fit the historical 80-byte buffer; longer names must not stop the
  // listing, or the values after them would never be recorded.
  const std::string n79(79, 'a'), n80(80, 'b'), n300(300, 'c');
  for (const auto& name : {std::string("外字1"), n79, n80, n300, std::string("last")}) {
    PutText(this->reg(), this->kKey, name, "v");
  }
  // Windows lists values in creation order, Wine sorts them: compare with
  // whatever order the registry itself enumerates.
  std::vector<std::string> expected;
  for (const auto& [name, value] : FetchAll(this->reg(), this->kKey)) expected.push_back(name);
  auto& h = this->helpers_;
  EXPECT_EQ(h.EnumRegValueNames(this->hkcu(), this->kKey), 4);
  EXPECT_EQ(h.strRegValueNames, expected);
  EXPECT_EQ(std::set<std::string>(expected.begin(), expected.end()),
            (std::set<std::string>{"外字1", n79, n80, n300, "last"}));
}

TYPED_TEST_P(RegistryHelpersSuite, WritesTextWithCodePageSizePlusOne) {
  auto& h = this->helpers_;
  EXPECT_TRUE(h.WriteRegValue(this->hkcu(), this->kKey, "empty", kRegTypeText, std::string()));
  EXPECT_TRUE(h.WriteRegValue(this->hkcu(), this->kKey, "gaiji", kRegTypeText, std::string("外字")));
  EXPECT_EQ(AnsiSize(this->reg(), this->kKey, "empty"), 1u);
  EXPECT_EQ(AnsiSize(this->reg(), this->kKey, "gaiji"), 5u);
  EXPECT_EQ(Fetch(this->reg(), this->kKey, "gaiji"),
            (StoredValue{kRegSz, Utf16Bytes(u"外字")}));
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "gaiji", kRegTypeText, std::string("?")),
            RegVariant(std::string("外字")));
}

TYPED_TEST_P(RegistryHelpersSuite, WriteCreatesAMissingKeyPath) {
  const std::string deep = std::string(this->kKey) + "\\a\\b";
  EXPECT_TRUE(this->helpers_.WriteRegValue(this->hkcu(), deep, "n", kRegTypeInteger,
                                           std::int32_t{-5}));
  EXPECT_EQ(this->helpers_.ReadRegValue(this->hkcu(), deep, "n", kRegTypeInteger, std::int32_t{0}),
            RegVariant(std::int32_t{-5}));
}

TYPED_TEST_P(RegistryHelpersSuite, ReadsAtMost255BytesOfText) {
  PutText(this->reg(), this->kKey, "fits", std::string(255, 'x'));
  PutText(this->reg(), this->kKey, "long", std::string(256, 'y'));
  auto& h = this->helpers_;
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "fits", kRegTypeText, std::string("d")),
            RegVariant(std::string(255, 'x')));
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "long", kRegTypeText, std::string("d")),
            RegVariant(std::string("d")));
}

TYPED_TEST_P(RegistryHelpersSuite, ReadsAnIntegerValueAsTextUpToItsFirstNul) {
  PutRaw(this->reg(), this->kKey, "dw", kRegDword, {'A', 'B', 'C', 0});
  EXPECT_EQ(this->helpers_.ReadRegValue(this->hkcu(), this->kKey, "dw", kRegTypeText, std::string()),
            RegVariant(std::string("ABC")));
}

TYPED_TEST_P(RegistryHelpersSuite, OtherTypeCodesReadTheDefaultAndWriteNothing) {
  PutText(this->reg(), this->kKey, "t", "text");
  auto& h = this->helpers_;
  EXPECT_EQ(h.ReadRegValue(this->hkcu(), this->kKey, "t", kRegExpandSz, std::string("d")),
            RegVariant(std::string("d")));
  const std::string fresh = std::string(this->kKey) + "\\fresh";
  EXPECT_FALSE(h.WriteRegValue(this->hkcu(), fresh, "t", kRegExpandSz, std::string("x")));
  EXPECT_TRUE(KeyExists(this->reg(), fresh));
  EXPECT_TRUE(FetchAll(this->reg(), fresh).empty());
}

REGISTER_TYPED_TEST_SUITE_P(RegistryHelpersSuite, MissingKeyGivesMinusOneAndTheDefaultWithItsTag,
                            ListsNamesInRegistryOrderWhateverTheirLength,
                            WritesTextWithCodePageSizePlusOne, WriteCreatesAMissingKeyPath,
                            ReadsAtMost255BytesOfText, ReadsAnIntegerValueAsTextUpToItsFirstNul,
                            OtherTypeCodesReadTheDefaultAndWriteNothing);

}  // namespace tavrel::testing
