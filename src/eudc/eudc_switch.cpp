#include "eudc/eudc_switch.h"

#include <algorithm>

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr unsigned kWindowsDirBufferLength = 250;
constexpr char16_t kEudcKeyShown[] = u"HKEY_CURRENT_USER\\EUDC\\932";

}  // namespace

std::string EudcSwitch::GetWindowsDir() {
  char16_t buffer[kWindowsDirBufferLength] = {};
  files_.GetWindowsDirectoryW(buffer, kWindowsDirBufferLength);
  return Utf16ToUtf8(buffer);
}

void EudcSwitch::Record(const RawValue& value) {
  colSavedNames.push_back(value.name);
  colSavedValues.push_back(SavedValue{value.type, value.data});
}

bool EudcSwitch::Recorded(std::u16string_view name) const {
  return std::any_of(colSavedNames.begin(), colSavedNames.end(),
                     [&](const std::u16string& n) { return EqualIgnoringCase(n, name); });
}

LSTATUS EudcSwitch::Write(const RawValue& value) {
  return WriteValue(registry_, registry_.CurrentUser(), kEudcKey, value);
}

SwitchStatus EudcSwitch::SaveAndClearEudcSettings(std::string_view fileToWrite) {
  Release();
  const ValueListing listing = ListValues(registry_, registry_.CurrentUser(), kEudcKey);
  if (listing.outcome == ListOutcome::Failed) {
    return SwitchStatus{SwitchStatus::Step::KeyUnreadable, listing.error, kEudcKeyShown};
  }

  JournalRecord record{listing.outcome == ListOutcome::Listed, Utf8ToUtf16(fileToWrite),
                       listing.values, {}};
  if (!std::any_of(record.values.begin(), record.values.end(), [](const RawValue& v) {
        return EqualIgnoringCase(v.name, kSystemDefaultEudcFont);
      })) {
    record.values.push_back(
        TextValue(kSystemDefaultEudcFont, Utf8ToUtf16(GetWindowsDir() + "\\EUDC.TTE")));
  }
  // Nothing changes before the record is safe on disk.
  if (const JournalStatus journalled = journal_.Begin(record); !journalled.ok()) {
    return SwitchStatus{SwitchStatus::Step::JournalUnwritten, journalled.error, journalled.where};
  }
  for (const RawValue& value : record.values) Record(value);
  hasRecord_ = true;

  // Every value is on record now; a value that cannot be emptied keeps its text.
  for (const RawValue& value : listing.values) Write(TextValue(value.name, u""));
  return {};
}

SwitchStatus EudcSwitch::SetSystemFont(std::string_view strEudcFile) {
  if (!hasRecord_) return {};
  const std::u16string file = Utf8ToUtf16(strEudcFile);
  const std::u16string before = journal_.Record().writtenPath;
  if (file != before) {
    if (const JournalStatus journalled = journal_.SetWrittenPath(file); !journalled.ok()) {
      return SwitchStatus{SwitchStatus::Step::JournalUnwritten, journalled.error,
                          journalled.where};
    }
  }
  if (const LSTATUS written = Write(TextValue(kSystemDefaultEudcFont, file));
      written != kErrorSuccess) {
    if (file != before) journal_.SetWrittenPath(before);  // best effort: the key kept the old one
    return SwitchStatus{SwitchStatus::Step::FontUnwritten, written,
                        std::u16string(kEudcKeyShown) + u"\\" + kSystemDefaultEudcFont};
  }
  return {};
}

RestoreStatus EudcSwitch::RestoreEudcSettings() {
  const auto writeBack = [this](size_t k) {
    return Write(RawValue{colSavedNames[k], colSavedValues[k].type, colSavedValues[k].data});
  };
  std::vector<size_t> failed;
  for (size_t k = 0; k < colSavedNames.size(); ++k) {
    if (writeBack(k) != kErrorSuccess) failed.push_back(k);
  }
  // A second attempt for what failed: a value left empty would be lost.
  RestoreStatus status;
  for (size_t k : failed) {
    if (const LSTATUS error = writeBack(k); error != kErrorSuccess) {
      status.failed.emplace_back(colSavedNames[k], error);
    }
  }
  return status;
}

void EudcSwitch::DropJournal() {
  if (journal_.Owned()) journal_.Remove();
}

void EudcSwitch::KeepJournal() {
  if (journal_.Owned()) journal_.EnsureRunOnce();
}

JournalStatus EudcSwitch::AddProgram(const ProcessIdentity& program) {
  if (!journal_.Owned()) return {};
  return journal_.AddProgram(program);
}

void EudcSwitch::Adopt(const JournalRecord& record) {
  Release();
  for (const RawValue& value : record.values) Record(value);
  hasRecord_ = true;
  journal_.Adopt(record);
}

bool EudcSwitch::AlreadyRestored() {
  const ValueListing listing = ListValues(registry_, registry_.CurrentUser(), kEudcKey);
  if (listing.outcome != ListOutcome::Listed) return false;
  for (size_t k = 0; k < colSavedNames.size(); ++k) {
    const auto now = std::find_if(listing.values.begin(), listing.values.end(),
                                  [&](const RawValue& v) { return EqualIgnoringCase(v.name, colSavedNames[k]); });
    if (now == listing.values.end() || now->type != colSavedValues[k].type ||
        now->data != colSavedValues[k].data) {
      return false;
    }
  }
  return true;
}

bool EudcSwitch::HoldsWhatWasWritten(std::optional<std::u16string>* current) {
  const ValueListing listing = ListValues(registry_, registry_.CurrentUser(), kEudcKey);
  if (listing.outcome == ListOutcome::Failed) return true;
  const auto font = std::find_if(listing.values.begin(), listing.values.end(), [](const RawValue& v) {
    return EqualIgnoringCase(v.name, kSystemDefaultEudcFont);
  });
  const std::optional<std::u16string> text =
      font == listing.values.end() ? std::nullopt : TextOf(*font);
  if (current) *current = text;
  // The switch empties the value before it names the user's file: a copy
  // that ended in between left the empty text, and nobody changed it.
  return text && (text->empty() || *text == journal_.Record().writtenPath);
}

void EudcSwitch::Release() {
  colSavedNames.clear();
  colSavedValues.clear();
  hasRecord_ = false;
}

}  // namespace tavrel
