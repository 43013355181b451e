// Switching the EUDC font of the code page in use to the user's font file
// and back.
//
// The switch records which key it changes, HKCU\EUDC\<the ANSI code page>,
// and every value of it exactly (name, type, bytes), and writes that record
// to the journal, durably, before it changes any value; then it empties each value and points SystemDefaultEUDCFont at
// the user's file. The switch back writes the record back and drops the
// journal. The EUDC fonts are released before each change and reloaded after
// it. The record is the journal's: one copy, owned here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/files.h"
#include "eudc/eudc_key.h"
#include "eudc/journal.h"
#include "eudc/restore_plan.h"

namespace tavrel {

// How the switch to the user font went.
struct [[nodiscard]] SwitchStatus {
  enum class Step {
    Done,
    KeyUnreadable,     // the EUDC key could not be read whole: nothing changed
    NoWindowsFolder,   // the Windows default font's folder is unknown: nothing changed
    JournalUnwritten,  // the journal could not be written: nothing changed
    FontUnwritten,     // SystemDefaultEUDCFont could not be set
    NotAFontFile,      // no full path of a readable font: nothing changed
  };
  Step step = Step::Done;
  ErrorCode error = kSuccess;
  std::u16string where;  // the key or value concerned
  bool ok() const { return step == Step::Done; }
};

// How a switch back went: the values written back, those left as someone
// else set them during the run, those that could not be written, and what
// became of the journal (removed once all are back, kept for a later try
// otherwise).
struct [[nodiscard]] RestoreStatus {
  CodePage codePage = kJapaneseCodePage;  // of the key written back
  std::vector<RawValue> putBack;
  std::vector<KeptValue> kept;
  std::vector<WriteFailure> failed;
  JournalStatus journal;
  bool complete() const { return failed.empty(); }
};

struct [[nodiscard]] SwitchResult {
  SwitchStatus status;
  // A switch while the user font is active: SystemDefaultEUDCFont as
  // someone else set it since, which stays.
  std::vector<KeptValue> kept;
  // After a failed switch that was a fresh one: how the switch back went.
  std::optional<RestoreStatus> undone;
};

class FontSwitch {
 public:
  // `files`: where the font file is checked before any switch to it.
  FontSwitch(IEudcKey& key, IJournalStore& store, IFiles& files) : key_(key), journal_(store), files_(files) {}

  // The command line the RunOnce value runs: "<tavrel.exe>" /restore.
  void SetRestoreCommand(std::u16string command) { journal_.SetRestoreCommand(std::move(command)); }
  // This copy, as its journal names it.
  void SetWriter(const JournalWriter& writer) { journal_.SetWriter(writer); }

  // Whether the user font is switched in: from the first switch (or the
  // adoption of a journal) until a switch back has written every value back.
  bool UserFontActive() const { return active_; }
  const JournalRecord& Record() const { return journal_.Record(); }

  // Switches to `font`, which must be the full path of an existing font
  // file: anything else is refused before anything changes. A first switch records the key of the code page in
  // use, with every value, and journals it;
  // a switch while the user font is active only names the new file (the
  // record from before the first switch is the one to bring back), and only
  // while the value still holds what Tavrel wrote. When the font cannot be
  // set after a first switch, the settings go back at once.
  [[nodiscard]] SwitchResult SwitchTo(std::u16string_view font);
  // Writes back, with its type and bytes, every recorded value that still
  // holds what the switch wrote (see PlanRestore), trying a failed one once
  // more; the journal goes once all are back, and stays for the next start
  // or logon otherwise.
  [[nodiscard]] RestoreStatus SwitchBack();
  // Adds a program started with the user font to the journal.
  [[nodiscard]] JournalStatus AddProgram(const ProcessIdentity& program);

  // --- the recovery of a journal left by a copy that ended before its restore
  [[nodiscard]] JournalReading ReadJournal() const { return journal_.Read(); }
  // Takes the record as this copy's own, rewritten in its name: the user
  // font counts as active, in the key the record names, whether or not that
  // rewrite went through.
  [[nodiscard]] JournalStatus Adopt(const JournalRecord& record) {
    active_ = true;
    return journal_.Adopt(record);
  }
  // Makes sure the next logon tries again (Windows deletes the RunOnce value
  // before it runs it).
  [[nodiscard]] JournalStatus KeepForLogon() { return journal_.EnsureRunOnce(); }
  // The error of the last release or reload of the EUDC fonts that failed;
  // success when both went through.
  ErrorCode ReloadError() const { return reloadError_; }

 private:
  SwitchStatus RecordAndClear(std::u16string_view font);
  SwitchStatus SetSystemFont(std::u16string_view font);
  // SystemDefaultEUDCFont when someone else has changed or removed it since
  // the switch.
  std::optional<KeptValue> FontValueChangedSince();
  RestoreStatus WriteBack();
  void ReleaseFonts();
  void ReloadFonts();

  IEudcKey& key_;
  Journal journal_;
  IFiles& files_;
  ErrorCode reloadError_ = kSuccess;
  bool active_ = false;
};

}  // namespace tavrel
