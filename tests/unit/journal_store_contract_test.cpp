#include "fakes/fakes.h"
#include "suites/journal_store_suite.h"

namespace tavrel::testing {

// The fake has no key apart from its record: a key without one is no record.
struct FakeJournalBackend {
  fakes::FakeJournalStore store;
  IJournalStore& seam() { return store; }
  void PlantRecord(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    store.unreadable = type != kRegBinary;
    store.record = bytes;
  }
  void PlantKeyWithoutRecord() {}
  std::optional<std::u16string> LogonCommand() { return store.logonCommand; }
  bool KeyLeft() { return store.record || store.unreadable; }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, JournalStoreContract, FakeJournalBackend);

}  // namespace tavrel::testing
