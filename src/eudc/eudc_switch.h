// Switching the EUDC font of code page 932 (HKEY_CURRENT_USER\EUDC\932) to
// the user's font file and back.
//
// The switch records every value of the key exactly (name, type, bytes)
// before it changes any, then empties each value and points
// SystemDefaultEUDCFont at the user's file. The switch back writes the latest
// record back. Each switch to the user font starts a fresh record.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

class EudcSwitch {
 public:
  EudcSwitch(IRegistry& registry, IFileSystem& files) : registry_(registry), files_(files) {}

  // Records every value of the key afresh, then empties each of them. When the
  // key is absent, or has no SystemDefaultEUDCFont, the record holds that value
  // as the Windows default (the Windows directory + "\EUDC.TTE"). Returns
  // false, recording and changing nothing, when the key cannot be read whole.
  bool SaveAndClearEudcSettings();
  // Points SystemDefaultEUDCFont at the file, creating the key when missing.
  // Only after a successful save: a value never recorded is never overwritten.
  void SetSystemFont(std::string_view strEudcFile);
  // Writes every recorded value back with its type and bytes, trying a failed
  // one once more at the end. False when some value could not be written.
  bool RestoreEudcSettings();
  // The Windows directory without a trailing backslash.
  std::string GetWindowsDir();
  // Forgets the record.
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
  bool hasRecord_ = false;
};

}  // namespace tavrel
