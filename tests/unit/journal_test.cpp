// The journal's record: the registry suite against the fake, and the parse,
// which takes nothing short of a complete, undamaged record.
#include <gtest/gtest.h>

#include "suites/fake_backends.h"
#include "suites/journal_suite.h"

namespace tavrel::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, JournalSuite, FakeRegistryBackend);

namespace {

TEST(JournalRecordBytes, RoundTripEvenWhenEmpty) {
  EXPECT_EQ(ParseJournal(SerializeJournal(SampleRecord())), SampleRecord());
  EXPECT_EQ(ParseJournal(SerializeJournal(JournalRecord{})), JournalRecord{});
}

// A record cut anywhere (a write that never finished), or with any single bit
// changed (a damaged disk), is refused: a wrong restore is worse than none.
TEST(JournalRecordBytes, EveryCutAndEveryFlippedBitIsRefused) {
  const JournalRecord record{false, u"C:\\a.tte", {TextValue(u"SystemDefaultEUDCFont", u"C:\\x")},
                             {{8, 9}}};
  const std::vector<BYTE> good = SerializeJournal(record);
  for (size_t size = 0; size < good.size(); ++size) {
    EXPECT_EQ(ParseJournal(std::vector<BYTE>(good.begin(), good.begin() + size)), std::nullopt)
        << "cut to " << size << " bytes";
  }
  for (size_t bit = 0; bit < good.size() * 8; ++bit) {
    std::vector<BYTE> damaged = good;
    damaged[bit / 8] ^= static_cast<BYTE>(1u << (bit % 8));
    EXPECT_EQ(ParseJournal(damaged), std::nullopt) << "bit " << bit << " flipped";
  }
}

// Lengths inside the record that point past its end (the checksum made to
// match) are refused without reading beyond it.
TEST(JournalRecordBytes, LengthsPastTheEndAreRefused) {
  std::vector<BYTE> bytes = {'T', 'V', 'J', '1', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
  std::uint32_t hash = 2166136261u;
  for (BYTE b : bytes) hash = (hash ^ b) * 16777619u;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(hash >> (8 * i)));
  EXPECT_EQ(ParseJournal(bytes), std::nullopt);
}

}  // namespace
}  // namespace tavrel::testing
