#include "eudc/font_switch.h"

#include "base/text.h"
#include "eudc/font_file.h"
#include "eudc/restore_plan.h"

namespace tavrel {
namespace {

std::u16string ValueShown(CodePage codePage, std::u16string_view name) {
  return EudcKeyShown(codePage) + u"\\" + std::u16string(name);
}

}  // namespace

void FontSwitch::ReleaseFonts() {
  reloadError_ = key_.EnableEudc(false);
}

void FontSwitch::ReloadFonts() {
  // The reload runs whatever the release said: the fonts must not stay off.
  const ErrorCode reloaded = key_.EnableEudc(true);
  if (reloadError_ == kSuccess) reloadError_ = reloaded;
}

SwitchResult FontSwitch::SwitchTo(std::u16string_view font) {
  // GDI resolves a relative path against whichever folder is current in the
  // process that draws, and links nothing that is no font: such a value
  // would leave every program without EUDC glyphs.
  if (const FontFileCheck check = CheckFontFile(files_, font); !check.usable) {
    return SwitchResult{SwitchStatus{SwitchStatus::Step::NotAFontFile, check.error, std::u16string(font)}, {}, {}};
  }
  ReleaseFonts();
  SwitchResult result;
  const bool fresh = !UserFontActive();
  if (fresh) {
    result.status = RecordAndClear(font);
  } else if (std::optional<KeptValue> changed = FontValueChangedSince()) {
    // What someone else set since stays, and is named.
    result.kept.push_back(std::move(*changed));
  }
  if (result.status.ok() && result.kept.empty()) result.status = SetSystemFont(font);
  // Another launch's font stays for its program; a fresh switch goes back.
  if (!result.status.ok() && fresh && UserFontActive()) result.undone = WriteBack();
  ReloadFonts();
  return result;
}

SwitchStatus FontSwitch::RecordAndClear(std::u16string_view font) {
  const CodePage codePage = key_.ActiveCodePage();
  const KeyReading reading = key_.ReadAll(codePage);
  if (reading.outcome == KeyReading::Outcome::Failed) {
    return SwitchStatus{SwitchStatus::Step::KeyUnreadable, reading.error, EudcKeyShown(codePage)};
  }
  JournalRecord record{{}, reading.outcome == KeyReading::Outcome::Listed, std::u16string(font),
                       reading.values, {}, codePage};
  // A key without the value, or no key at all, means the Windows default:
  // that is what comes back.
  if (!FindValue(record.values, kSystemDefaultEudcFont)) {
    record.fontValueAdded = true;
    const std::optional<std::u16string> windows = key_.WindowsDirectory();
    if (!windows) return SwitchStatus{SwitchStatus::Step::NoWindowsFolder, kSuccess, {}};
    record.values.push_back(TextValue(kSystemDefaultEudcFont, *windows + u"\\EUDC.TTE"));
  }
  // Nothing changes before the record is safe on disk.
  if (const JournalStatus journalled = journal_.Begin(record); !journalled.ok()) {
    return SwitchStatus{SwitchStatus::Step::JournalUnwritten, journalled.error, journalled.where};
  }
  active_ = true;
  std::vector<RawValue> emptied;
  for (const RawValue& value : reading.values) emptied.push_back(TextValue(value.name, u""));
  // Every value is on record now. One that cannot be emptied keeps its text
  // for this run, and the switch back writes it all the same.
  (void)key_.Write(codePage, emptied);
  return {};
}

SwitchStatus FontSwitch::SetSystemFont(std::u16string_view font) {
  const std::u16string before = journal_.Record().writtenPath;
  if (font != before) {
    if (const JournalStatus journalled = journal_.SetWrittenPath(font); !journalled.ok()) {
      return SwitchStatus{SwitchStatus::Step::JournalUnwritten, journalled.error, journalled.where};
    }
  }
  // The key of the first switch, whatever the code page is now.
  const CodePage codePage = journal_.Record().codePage;
  const RawValue value = TextValue(kSystemDefaultEudcFont, font);
  const std::vector<WriteFailure> failed = key_.Write(codePage, {&value, 1});
  if (failed.empty()) return {};
  // The key kept the file it had; the journal names it again. Should that
  // fail, the journal names a file that was never written, which a recovery
  // takes for a change by someone else and asks about.
  if (font != before) (void)journal_.SetWrittenPath(before);
  return SwitchStatus{SwitchStatus::Step::FontUnwritten, failed.front().error,
                      ValueShown(codePage, kSystemDefaultEudcFont)};
}

std::optional<KeptValue> FontSwitch::FontValueChangedSince() {
  const KeyReading now = key_.ReadAll(Record().codePage);
  // Unread, nothing says it changed.
  if (now.outcome == KeyReading::Outcome::Failed) return std::nullopt;
  const RawValue* current = FindValue(now.values, kSystemDefaultEudcFont);
  if (!current) return KeptValue{std::u16string(kSystemDefaultEudcFont), std::nullopt};
  if (HoldsWhatTavrelWrote(*current, Record())) return std::nullopt;
  return KeptValue{current->name, *current};
}

RestoreStatus FontSwitch::SwitchBack() {
  ReleaseFonts();
  RestoreStatus status = WriteBack();
  ReloadFonts();
  return status;
}

RestoreStatus FontSwitch::WriteBack() {
  // The key the record names, whatever the code page is now.
  const CodePage codePage = journal_.Record().codePage;
  RestorePlan plan = PlanRestore(journal_.Record(), key_.ReadAll(codePage));
  RestoreStatus status{codePage, std::move(plan.putBack), std::move(plan.kept), {}, {}};
  std::vector<RawValue> retry;
  for (const WriteFailure& failure : key_.Write(codePage, status.putBack)) {
    if (const RawValue* value = FindValue(status.putBack, failure.name)) retry.push_back(*value);
  }
  // A second attempt for what failed: a value left empty would be lost.
  if (!retry.empty()) status.failed = key_.Write(codePage, retry);
  if (!status.complete()) {
    // The journal stays: the next start, or the next logon, tries again. (At
    // logon Windows has deleted its RunOnce value once it started Tavrel.)
    status.journal = journal_.EnsureRunOnce();
    return status;
  }
  // Every value is back: a record that cannot go now is found again by the
  // next start, which finds nothing left to put back.
  active_ = false;
  // The values first, then the record that was their only copy.
  if (const ErrorCode flushed = status.putBack.empty() ? kSuccess : key_.Flush(codePage);
      flushed != kSuccess) {
    status.journal = JournalStatus{flushed, EudcKeyShown(codePage)};
    return status;
  }
  status.journal = journal_.Remove();
  return status;
}

JournalStatus FontSwitch::AddProgram(const ProcessIdentity& program) {
  return journal_.AddProgram(program);
}

}  // namespace tavrel
