#include "eudc/eudc_switch.h"

#include <algorithm>

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr unsigned kWindowsDirBufferSize = 250;

}  // namespace

std::string EudcSwitch::GetWindowsDir() {
  char buffer[kWindowsDirBufferSize] = {};
  files_.GetWindowsDirectoryA(buffer, kWindowsDirBufferSize);
  return AnsiToUtf8(std::string_view(buffer, std::char_traits<char>::length(buffer)));
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

bool EudcSwitch::SaveAndClearEudcSettings() {
  Release();
  const ValueListing listing = ListValues(registry_, registry_.CurrentUser(), kEudcKey);
  if (listing.outcome == ListOutcome::Failed) return false;

  for (const RawValue& value : listing.values) Record(value);
  if (!Recorded(kSystemDefaultEudcFont)) {
    Record(TextValue(kSystemDefaultEudcFont, Utf8ToUtf16(GetWindowsDir() + "\\EUDC.TTE")));
  }
  hasRecord_ = true;

  // Every value is on record now; a value that cannot be emptied keeps its text.
  for (const RawValue& value : listing.values) Write(TextValue(value.name, u""));
  return true;
}

void EudcSwitch::SetSystemFont(std::string_view strEudcFile) {
  if (!hasRecord_) return;
  Write(TextValue(kSystemDefaultEudcFont, Utf8ToUtf16(strEudcFile)));
}

bool EudcSwitch::RestoreEudcSettings() {
  const auto writeBack = [this](size_t k) {
    return Write(RawValue{colSavedNames[k], colSavedValues[k].type, colSavedValues[k].data}) ==
           kErrorSuccess;
  };
  std::vector<size_t> failed;
  for (size_t k = 0; k < colSavedNames.size(); ++k) {
    if (!writeBack(k)) failed.push_back(k);
  }
  // A second attempt for what failed: a value left empty would be lost.
  return std::all_of(failed.begin(), failed.end(), writeBack);
}

void EudcSwitch::Release() {
  colSavedNames.clear();
  colSavedValues.clear();
  hasRecord_ = false;
}

}  // namespace tavrel
