// Where the journal lives: one binary value under the key
// HKEY_CURRENT_USER\Software\Tavrel\Journal, replaced whole or not at all,
// and the RunOnce value that runs Tavrel's restore at the next logon while a
// journal exists.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace tavrel {

inline constexpr char16_t kJournalKeyShown[] = u"HKEY_CURRENT_USER\\Software\\Tavrel\\Journal";
inline constexpr char16_t kRunOnceValueShown[] =
    u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\!Tavrel";

// Where a store operation failed: the registry's error and the key or value
// it was working on, as the user would look for it.
struct [[nodiscard]] StoreStatus {
  ErrorCode error = kSuccess;
  std::u16string where;
  bool ok() const { return error == kSuccess; }
};

struct [[nodiscard]] StoredRecord {
  enum class Outcome {
    Absent,      // no journal (a key without its record counts as none)
    Present,     // the record's bytes
    Unreadable,  // there, but not readable, or not binary data
  };
  Outcome outcome = Outcome::Absent;
  std::vector<std::uint8_t> bytes;
  ErrorCode error = kSuccess;  // for Unreadable: the registry's error, or success when damaged
};

class IJournalStore {
 public:
  virtual ~IJournalStore() = default;

  [[nodiscard]] virtual StoredRecord Read() = 0;
  // Replaces the record whole, creating its key when missing.
  [[nodiscard]] virtual StoreStatus Write(std::span<const std::uint8_t> record) = 0;
  // The RunOnce value that runs `command` at the next logon.
  [[nodiscard]] virtual StoreStatus SetLogonCommand(std::u16string_view command) = 0;
  // Returns once every change of the store so far is on disk.
  [[nodiscard]] virtual StoreStatus Flush() = 0;
  // Removes the record with its key (and Tavrel's own key once empty), and
  // the RunOnce value; either may be gone already.
  [[nodiscard]] virtual StoreStatus Remove() = 0;
};

}  // namespace tavrel
