// Tavrel started beside viewer.exe and mine.tte in C:\Apps\Viewer, with two
// values in HKCU\EUDC\932: the setting most launch tests start from.
#pragma once

#include <gtest/gtest.h>

#include "fakes/form_rig.h"

namespace tavrel::fakes {

inline constexpr const char* kViewerFont = "C:\\Apps\\Viewer\\mine.tte";
// What a restore says when HKCU\EUDC\932 cannot be written at all.
inline constexpr const char* kNeitherValueWritten =
    "外字の設定を元に戻せませんでした。\r\n"
    "HKEY_CURRENT_USER\\EUDC\\932 の「SystemDefaultEUDCFont」: "
    "アクセスが拒否されました。（エラー 5）\r\n"
    "HKEY_CURRENT_USER\\EUDC\\932 の「ＭＳ 明朝」: アクセスが拒否されました。（エラー 5）\r\n"
    "次に Tavrel を起動したとき、またはログオンしたときに、もう一度元に戻します。";

class ViewerFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Folder("C:\\Apps\\Viewer\\Tavrel.exe", {"mine.tte", "viewer.exe"});
    rig_.registry.SetText(kEudc, kSystemFont, "C:\\WINDOWS\\EUDC.TTE");
    rig_.registry.SetText(kEudc, "ＭＳ 明朝", "C:\\m.tte");
    before_ = rig_.Key();
    rig_.Start();
  }

  FormRig rig_;
  std::vector<FakeRegistry::Value> before_;  // the key before any launch
};

}  // namespace tavrel::fakes
