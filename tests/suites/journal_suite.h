// The journal in the registry: written whole with its RunOnce value, read back
// byte for byte, a damaged one never taken for a record and never
// overwritten, and removed with its RunOnce value. Against the fake registry
// on the host and the real one under Wine.
#pragma once

#include <gtest/gtest.h>

#include "eudc/journal.h"
#include "platform/text.h"
#include "suites/raw_values_suite.h"
#include "suites/registry_kit.h"

namespace tavrel::testing {

inline constexpr const char* kJournalPath = "Software\\Tavrel\\Journal";
inline constexpr const char* kRunOncePath = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

inline JournalRecord SampleRecord() {
  return JournalRecord{true, Utf8ToUtf16("D:\\도구\\Zoë ゲーム.tte"), AwkwardValues(),
                       {{0x124, 0x01DC123456789ABCull}, {0x5A8, 0x01DC000000000001ull}}};
}

template <typename Backend>
class JournalSuite : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  void Clean() {
    DeleteTree(reg(), kJournalPath);
    if (const auto left = Fetch(reg(), kRunOncePath, "Tavrel")) {
      DeleteValue(kRunOncePath, u"Tavrel");
    }
  }
  void DeleteValue(const char* keyPath, const char16_t* name) {
    UniqueRegKey key = MakeRegKey(reg());
    if (reg().RegOpenKeyExW(reg().CurrentUser(), Utf8ToUtf16(keyPath).c_str(), 0, kKeySetValue,
                            key.put()) == kErrorSuccess) {
      reg().RegDeleteValueW(key.get(), name);
    }
  }
  IRegistry& reg() { return backend_.registry(); }
  std::optional<std::u16string> RunOnce() {
    const auto stored = Fetch(reg(), kRunOncePath, "Tavrel");
    if (!stored) return std::nullopt;
    return TextOf(RawValue{u"Tavrel", stored->type, stored->data});
  }

  Backend backend_;
};

TYPED_TEST_SUITE_P(JournalSuite);

TYPED_TEST_P(JournalSuite, ARecordReadsBackWholeWithTheRunOnceCommandBesideIt) {
  Journal journal(this->reg());
  journal.SetRestoreCommand(Utf8ToUtf16("\"C:\\Users\\Zoë\\ゲーム\\tavrel.exe\" /restore"));
  ASSERT_TRUE(journal.Begin(SampleRecord()).ok());
  const JournalReading reading = Journal(this->reg()).Read();
  ASSERT_EQ(reading.state, JournalState::Read);
  EXPECT_EQ(reading.record, SampleRecord());
  EXPECT_EQ(this->RunOnce(), Utf8ToUtf16("\"C:\\Users\\Zoë\\ゲーム\\tavrel.exe\" /restore"));
}

TYPED_TEST_P(JournalSuite, ChangesKeepTheRestOfTheRecord) {
  Journal journal(this->reg());
  ASSERT_TRUE(journal.Begin(SampleRecord()).ok());
  ASSERT_TRUE(journal.AddProgram({0x9C, 42}).ok());
  ASSERT_TRUE(journal.SetWrittenPath(u"E:\\other.tte").ok());
  JournalRecord expected = SampleRecord();
  expected.programs.push_back({0x9C, 42});
  expected.writtenPath = u"E:\\other.tte";
  EXPECT_EQ(Journal(this->reg()).Read().record, expected);
  EXPECT_EQ(journal.Record(), expected);
}

TYPED_TEST_P(JournalSuite, RemovingTakesTheRunOnceValueAlong) {
  Journal journal(this->reg());
  journal.SetRestoreCommand(u"\"C:\\t\\tavrel.exe\" /restore");
  ASSERT_TRUE(journal.Begin(SampleRecord()).ok());
  ASSERT_TRUE(journal.Remove().ok());
  EXPECT_EQ(Journal(this->reg()).Read().state, JournalState::Absent);
  EXPECT_FALSE(KeyExists(this->reg(), kJournalPath));
  EXPECT_EQ(this->RunOnce(), std::nullopt);
  EXPECT_TRUE(journal.Remove().ok());  // nothing left to remove is no failure
}

struct Damage {
  const char* name;
  DWORD type;
  std::vector<BYTE> (*make)(std::vector<BYTE> good);
};

// However the record is damaged, it is reported and left exactly as it is:
// it may be the only trace of the user's earlier settings.
TYPED_TEST_P(JournalSuite, ADamagedRecordIsNeverReadNorOverwritten) {
  const std::vector<BYTE> good = SerializeJournal(SampleRecord());
  const Damage damages[] = {
      {"Truncated", kRegBinary, [](std::vector<BYTE> b) { b.resize(b.size() / 2); return b; }},
      {"OneBitFlipped", kRegBinary, [](std::vector<BYTE> b) { b[b.size() / 3] ^= 0x10; return b; }},
      {"OneByteMore", kRegBinary, [](std::vector<BYTE> b) { b.push_back(0); return b; }},
      {"Empty", kRegBinary, [](std::vector<BYTE>) { return std::vector<BYTE>{}; }},
      {"TextEditedByHand", kRegSz, [](std::vector<BYTE>) { return Utf16Bytes(u"TVJ1"); }},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.name);
    const std::vector<BYTE> bytes = damage.make(good);
    PutRaw(this->reg(), kJournalPath, "Record", damage.type, bytes);
    Journal journal(this->reg());
    EXPECT_EQ(journal.Read().state, JournalState::Unreadable);
    const JournalStatus refused = journal.Begin(SampleRecord());
    EXPECT_EQ(refused.error, kErrorAlreadyExists);
    EXPECT_EQ(Fetch(this->reg(), kJournalPath, "Record"), (StoredValue{damage.type, bytes}));
    EXPECT_EQ(this->RunOnce(), std::nullopt);
  }
}

TYPED_TEST_P(JournalSuite, AKeyWithoutARecordHoldsNothing) {
  PutText(this->reg(), kJournalPath, "Other", "x");
  Journal journal(this->reg());
  EXPECT_EQ(journal.Read().state, JournalState::Absent);
  EXPECT_TRUE(journal.Begin(SampleRecord()).ok());
}

REGISTER_TYPED_TEST_SUITE_P(JournalSuite, ARecordReadsBackWholeWithTheRunOnceCommandBesideIt,
                            ChangesKeepTheRestOfTheRecord, RemovingTakesTheRunOnceValueAlong,
                            ADamagedRecordIsNeverReadNorOverwritten,
                            AKeyWithoutARecordHoldsNothing);

}  // namespace tavrel::testing
