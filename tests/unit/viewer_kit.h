// Tavrel beside viewer.exe and mine.tte in C:\Apps\Viewer, with two values in
// HKCU\EUDC\932.
#pragma once

#include "base/text.h"
#include "eudc/journal.h"
#include "fakes/run_rig.h"

namespace tavrel::fakes {

inline constexpr char kFolder[] = "C:\\Apps\\Viewer";
inline constexpr char kProgram[] = "C:\\Apps\\Viewer\\viewer.exe";
inline constexpr char16_t kFont[] = u"C:\\Apps\\Viewer\\mine.tte";
inline constexpr char16_t kFace[] = u"ＭＳ 明朝";
inline constexpr char16_t kRestoreCommand[] = u"\"C:\\Apps\\Viewer\\Tavrel.exe\" /restore";
inline constexpr ErrorCode kIoDevice = kInjectedFault;

inline std::vector<RawValue> ViewerKey() {
  return {TextValue(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE"), TextValue(kFace, u"C:\\m.tte")};
}

// The folder, the key and the system's texts; the run is not started.
inline void Viewer(RunRig& rig) {
  rig.Folder(kFolder, {"viewer.exe", "mine.tte"});
  rig.key.values = ViewerKey();
  rig.desktop.errorTexts = {{2, "指定されたファイルが見つかりません。"},
                            {3, "指定されたパスが見つかりません。"},
                            {5, "アクセスが拒否されました。"},
                            {kIoDevice, "I/O デバイス エラーです。"}};
}

inline std::optional<JournalRecord> Journalled(const RunRig& rig) {
  return rig.store.record ? ParseJournal(*rig.store.record) : std::nullopt;
}

// This copy, as its journal names it.
inline JournalWriter Writer(const RunRig& rig) { return {rig.launcher.self, rig.desktop.session}; }

inline std::vector<Box> Boxes(const RunRig& rig) {
  std::vector<Box> boxes;
  for (const FakeView::Shown& shown : rig.view.shown) boxes.push_back(shown.box);
  return boxes;
}

}  // namespace tavrel::fakes
