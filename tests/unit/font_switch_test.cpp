// The switch itself refuses any font but a full path of an existing font
// file, before it records or changes anything.
#include <gtest/gtest.h>

#include "base/text.h"
#include "eudc/font_switch.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

TEST(SwitchingTheFont, TakesOnlyAFullPathOfAnExistingFont) {
  const std::tuple<const char16_t*, bool, ErrorCode> rows[] = {
      {u"C:\\F\\user.tte", true, kSuccess},        {u"\\\\srv\\F\\user.tte", true, kSuccess},
      {u"F\\user.tte", false, kSuccess},           {u"C:F\\user.tte", false, kSuccess},
      {u"C:\\F\\gone.tte", false, kSuccess},       {u"C:\\F\\blank.tte", false, kSuccess},
      {u"C:\\F\\locked.tte", false, kAccessDenied},
  };
  for (const auto& [font, switched, error] : rows) {
    SCOPED_TRACE(Utf16ToUtf8(font));
    FakeEudcKey key;
    key.values = std::vector<RawValue>{TextValue(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE")};
    FakeJournalStore store;
    FakeFiles files;
    files.currentFolder = "C:\\";  // where "F\user.tte" would be found
    for (const char* path : {"C:\\F\\user.tte", "\\\\srv\\F\\user.tte", "C:\\F\\locked.tte"}) files.AddFont(path);
    files.Add("C:\\F\\blank.tte");
    files.Find("C:\\F\\locked.tte")->readError = kAccessDenied;
    FontSwitch fontSwitch(key, store, files);

    const SwitchResult result = fontSwitch.SwitchTo(font);
    EXPECT_EQ(result.status.step, switched ? SwitchStatus::Step::Done : SwitchStatus::Step::NotAFontFile);
    EXPECT_EQ(result.status.error, error);
    EXPECT_EQ(key.Text(kSystemDefaultEudcFont), switched ? font : u"C:\\WINDOWS\\EUDC.TTE");
    EXPECT_EQ(store.record.has_value(), switched);  // nothing journalled
    EXPECT_EQ(key.reloads.empty(), !switched);      // nor the fonts released
  }
}

}  // namespace
}  // namespace tavrel::fakes
