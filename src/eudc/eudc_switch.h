// Switching the EUDC font of code page 932 (HKEY_CURRENT_USER\EUDC\932) to
// the user's font file and back.
//
// The switch records every value of the key exactly (name, type, bytes) and
// writes that record to the journal, durably, before it changes any value;
// then it empties each value and points SystemDefaultEUDCFont at the user's
// file. The switch back writes the record back. Each switch to the user font
// starts a fresh record.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "eudc/journal.h"
#include "eudc/raw_values.h"
#include "platform/file_api.h"
#include "platform/registry_api.h"

namespace tavrel {

inline constexpr char16_t kEudcKey[] = u"EUDC\\932";
inline constexpr char16_t kSystemDefaultEudcFont[] = u"SystemDefaultEUDCFont";

struct SavedValue {
  DWORD type = kRegNone;
  std::vector<BYTE> data;
  bool operator==(const SavedValue&) const = default;
};

// How a step of the switch to the user font went.
struct SwitchStatus {
  enum class Step {
    Done,
    KeyUnreadable,     // EUDC\932 could not be read whole: nothing changed
    JournalUnwritten,  // the journal could not be written: nothing changed
    FontUnwritten,     // SystemDefaultEUDCFont could not be set
  };
  Step step = Step::Done;
  LSTATUS error = kErrorSuccess;
  std::u16string where;  // the key or value concerned
  bool ok() const { return step == Step::Done; }
};

// The values a restore could not write, each with the registry's error.
struct RestoreStatus {
  std::vector<std::pair<std::u16string, LSTATUS>> failed;
  bool complete() const { return failed.empty(); }
};

class EudcSwitch {
 public:
  EudcSwitch(IRegistry& registry, IFileSystem& files, Journal& journal)
      : registry_(registry), files_(files), journal_(journal) {}

  // Records every value of the key afresh, journals the record together with
  // the file about to be written, then empties each value. When the key is
  // absent, or has no SystemDefaultEUDCFont, the record holds that value as
  // the Windows default (the Windows directory + "\EUDC.TTE"). Records and
  // changes nothing when the key cannot be read whole or the journal cannot
  // be written.
  SwitchStatus SaveAndClearEudcSettings(std::string_view fileToWrite);
  // Points SystemDefaultEUDCFont at the file, creating the key when missing;
  // another file than the journal names is journalled first. Only after a
  // successful save: a value never recorded is never overwritten.
  SwitchStatus SetSystemFont(std::string_view strEudcFile);
  // Writes every recorded value back with its type and bytes, trying a failed
  // one once more at the end. The journal stays: see DropJournal.
  RestoreStatus RestoreEudcSettings();
  // Removes the journal, once a restore has written every value.
  void DropJournal();
  // Makes sure the next logon tries again while the journal stays.
  void KeepJournal();
  // Adds a program started with the user font to the journal.
  JournalStatus AddProgram(const ProcessIdentity& program);
  // Takes a journal read from the registry as the current record.
  void Adopt(const JournalRecord& record);
  // Whether the key holds every recorded value exactly as recorded.
  bool AlreadyRestored();
  // Whether SystemDefaultEUDCFont holds what Tavrel wrote to it (the file the
  // journal names, or the empty text); true when the key cannot be read
  // (nothing says it changed).
  // `current` receives the text it holds (nothing when it is missing).
  bool HoldsWhatWasWritten(std::optional<std::u16string>* current = nullptr);
  // The Windows directory without a trailing backslash.
  std::string GetWindowsDir();
  // Forgets the record (the journal is left as it is).
  void Release();

  bool HasRecord() const { return hasRecord_; }

  // The latest record: value names and what each held, position for position.
  std::vector<std::u16string> colSavedNames;
  std::vector<SavedValue> colSavedValues;

 private:
  void Record(const RawValue& value);
  bool Recorded(std::u16string_view name) const;
  LSTATUS Write(const RawValue& value);

  IRegistry& registry_;
  IFileSystem& files_;
  Journal& journal_;
  bool hasRecord_ = false;
};

}  // namespace tavrel
