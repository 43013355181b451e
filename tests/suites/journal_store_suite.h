// The journal store's contract, run against the fake and against the real
// user registry. The backend adapter gives `seam()`, starts and ends each test
// without the journal's key and RunOnce value, and can:
//   PlantRecord(type, bytes)  store a record as something else may have left it;
//   PlantKeyWithoutRecord()   leave the journal's key with another value only;
//   LogonCommand()            the RunOnce value's text, nothing when it is missing;
//   KeyLeft()                 whether the journal's key (or a record) remains.
#pragma once

#include <gtest/gtest.h>

#include "base/text.h"
#include "eudc/journal_store.h"
#include "eudc/raw_value.h"

namespace tavrel::testing {

template <typename Backend>
class JournalStoreContract : public ::testing::Test {
 protected:
  IJournalStore& store() { return backend_.seam(); }
  Backend backend_;
};

TYPED_TEST_SUITE_P(JournalStoreContract);

// Written one after another: each replaces the last whole, a shorter one too.
TYPED_TEST_P(JournalStoreContract, ARecordReadsBackByteForByte) {
  std::vector<std::uint8_t> every(70000);
  for (size_t i = 0; i < every.size(); ++i) every[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> records[] = {every, {0x54, 0x56, 0x4A, 0x00, 0x01}, {}, {0}};
  for (const std::vector<std::uint8_t>& record : records) {
    SCOPED_TRACE(record.size());
    EXPECT_TRUE(this->store().Write(record).ok());
    EXPECT_TRUE(this->store().Flush().ok());
    const StoredRecord stored = this->store().Read();
    EXPECT_EQ(stored.outcome, StoredRecord::Outcome::Present);
    EXPECT_EQ(stored.bytes, record);
  }
}

TYPED_TEST_P(JournalStoreContract, TheLogonCommandIsStoredAsGiven) {
  for (const std::u16string& command :
       {Utf8ToUtf16("\"C:\\Users\\Zoë\\ゲーム 😀\\tavrel.exe\" /restore"), std::u16string(u"x")}) {
    EXPECT_TRUE(this->store().SetLogonCommand(command).ok());
    EXPECT_EQ(this->backend_.LogonCommand(), command);
  }
}

TYPED_TEST_P(JournalStoreContract, RemovingTakesTheRecordAndTheLogonCommand) {
  EXPECT_EQ(this->store().Read().outcome, StoredRecord::Outcome::Absent);
  ASSERT_TRUE(this->store().Write(std::vector<std::uint8_t>{1, 2, 3}).ok());
  ASSERT_TRUE(this->store().SetLogonCommand(u"C:\\t\\tavrel.exe /restore").ok());
  for (int round = 0; round < 2; ++round) {  // the second finds nothing: no failure
    SCOPED_TRACE(round);
    const StoreStatus removed = this->store().Remove();
    EXPECT_TRUE(removed.ok()) << removed.error;
    EXPECT_EQ(this->store().Read().outcome, StoredRecord::Outcome::Absent);
    EXPECT_EQ(this->backend_.LogonCommand(), std::nullopt);
    EXPECT_FALSE(this->backend_.KeyLeft());
  }
}

// Its writer failed before the first change of the EUDC key.
TYPED_TEST_P(JournalStoreContract, AKeyWithoutItsRecordReadsAbsent) {
  this->backend_.PlantKeyWithoutRecord();
  EXPECT_EQ(this->store().Read().outcome, StoredRecord::Outcome::Absent);
  EXPECT_TRUE(this->store().Write(std::vector<std::uint8_t>{9}).ok());
  EXPECT_EQ(this->store().Read().bytes, std::vector<std::uint8_t>{9});
}

// A record that is no binary data was not written by Tavrel: it is damaged,
// never taken for an empty journal, and a removal still takes it.
TYPED_TEST_P(JournalStoreContract, ARecordOfAnotherTypeIsUnreadable) {
  for (const RawValue& value : {TextValue(u"", u"TVJ1"), RawValue{u"", kRegDword, {1, 0, 0, 0}},
                                RawValue{u"", kRegNone, {}}}) {
    SCOPED_TRACE(value.type);
    this->backend_.PlantRecord(value.type, value.data);
    const StoredRecord stored = this->store().Read();
    EXPECT_EQ(stored.outcome, StoredRecord::Outcome::Unreadable);
    EXPECT_EQ(stored.error, kSuccess);
    EXPECT_TRUE(stored.bytes.empty());
    EXPECT_TRUE(this->store().Remove().ok());
    EXPECT_EQ(this->store().Read().outcome, StoredRecord::Outcome::Absent);
  }
}

REGISTER_TYPED_TEST_SUITE_P(JournalStoreContract, ARecordReadsBackByteForByte,
                            TheLogonCommandIsStoredAsGiven, AKeyWithoutItsRecordReadsAbsent,
                            RemovingTakesTheRecordAndTheLogonCommand,
                            ARecordOfAnotherTypeIsUnreadable);

}  // namespace tavrel::testing
