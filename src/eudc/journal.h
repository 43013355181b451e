// The write-ahead journal of a switch to the user font: which EUDC key it
// changed (that of the code page in use then), what the key held before, the
// file Tavrel points it at, and the programs that run with it. It lives in HKCU\Software\Tavrel\Journal as one REG_BINARY value, so a
// write replaces it whole or not at all, and carries a checksum, so a damaged
// record is never mistaken for a good one. While a journal exists, the user's
// RunOnce key holds "<tavrel.exe>" /restore, so the next logon puts the
// settings back even when Tavrel is never started again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eudc/eudc_key.h"
#include "eudc/journal_store.h"
#include "eudc/raw_value.h"
#include "base/process.h"

namespace tavrel {

// The copy of Tavrel that wrote a journal: two logon sessions of one user
// share HKEY_CURRENT_USER, and a record whose writer still runs is not
// another copy's to recover or to remove.
struct JournalWriter {
  ProcessIdentity process;    // none in a record of an older Tavrel
  std::uint32_t session = 0;  // its Windows session
  bool operator==(const JournalWriter&) const = default;
};

struct JournalRecord {
  JournalWriter writer;
  bool keyExisted = false;          // whether the key existed before the switch
  std::u16string writtenPath;       // what SystemDefaultEUDCFont is set to
  std::vector<RawValue> values;     // every value as it was, in the registry's order
  std::vector<ProcessIdentity> programs;  // started with the user font
  // The key changed, EUDC\<code page>: the one to put back whatever the code
  // page is at the recovery (932 in a record of an older Tavrel).
  CodePage codePage = kJapaneseCodePage;
  // Whether SystemDefaultEUDCFont was absent before the switch, so that the
  // Windows default in `values` stands for it.
  bool fontValueAdded = false;
  bool operator==(const JournalRecord&) const = default;
};

using JournalStatus = StoreStatus;

enum class JournalState {
  Absent,      // no journal: nothing to put back
  Read,        // a complete record
  Unreadable,  // there, but it cannot be read or fails its checks
};

struct [[nodiscard]] JournalReading {
  JournalState state = JournalState::Absent;
  JournalRecord record;
  ErrorCode error = kSuccess;  // for Unreadable: the registry's error, or success when damaged
};

std::vector<std::uint8_t> SerializeJournal(const JournalRecord& record);
// Nothing when the bytes are not a complete, undamaged record.
std::optional<JournalRecord> ParseJournal(const std::vector<std::uint8_t>& bytes);

class Journal {
 public:
  explicit Journal(IJournalStore& store) : store_(store) {}

  // The command line the RunOnce value holds: "<tavrel.exe>" /restore.
  void SetRestoreCommand(std::u16string command) { restoreCommand_ = std::move(command); }
  // This copy, as the records it writes name it.
  void SetWriter(const JournalWriter& writer) { writer_ = writer; }

  // Writes a fresh record and the RunOnce value and flushes them to disk.
  // Refuses (ERROR_ALREADY_EXISTS) when a journal this copy does not own is
  // there: it is the only record of some earlier settings. One this very
  // process wrote, and could not remove, is its own. On failure nothing
  // of it is left behind.
  [[nodiscard]] JournalStatus Begin(const JournalRecord& record);
  // Names another file about to be written, durably, before it is written.
  [[nodiscard]] JournalStatus SetWrittenPath(std::u16string_view path);
  // Adds a started program. Not flushed: a power cut ends the program too.
  [[nodiscard]] JournalStatus AddProgram(const ProcessIdentity& program);
  // Removes the journal and the RunOnce value; a record written since by
  // another copy stays.
  [[nodiscard]] JournalStatus Remove();
  // Writes the RunOnce value again (Windows deletes it before it runs it).
  [[nodiscard]] JournalStatus EnsureRunOnce();

  JournalReading Read() const;
  // Takes over a journal read from the registry as this copy's own, and
  // rewrites it durably in this copy's name. Should that fail, the record
  // is this copy's all the same, under its earlier writer's name.
  [[nodiscard]] JournalStatus Adopt(const JournalRecord& record);

  const JournalRecord& Record() const { return record_; }

 private:
  // Stores a changed record of this copy's journal; on success it is the record.
  JournalStatus Rewrite(JournalRecord changed, bool flush);

  IJournalStore& store_;
  std::u16string restoreCommand_;
  JournalWriter writer_;
  JournalRecord record_;
  bool owned_ = false;
};

}  // namespace tavrel
