// The switch itself refuses any font but a full path of an existing font
// file, before it records or changes anything.
#include <gtest/gtest.h>

#include "base/text.h"
#include "eudc/font_switch.h"
#include "fakes/fakes.h"

namespace tavrel::fakes {
namespace {

TEST(SwitchingTheFont, TakesOnlyAFullPathOfAnExistingFont) {
  const struct {
    const char16_t* font;
    SwitchStatus::Step step;
    ErrorCode error;
  } rows[] = {
      {u"C:\\Fonts\\user.tte", SwitchStatus::Step::Done, kSuccess},
      {u"\\\\srv\\fonts\\user.tte", SwitchStatus::Step::Done, kSuccess},
      {u"Fonts\\user.tte", SwitchStatus::Step::NotAFontFile, kSuccess},  // found from C:\ only
      {u"C:Fonts\\user.tte", SwitchStatus::Step::NotAFontFile, kSuccess},
      {u"C:\\Fonts\\gone.tte", SwitchStatus::Step::NotAFontFile, kSuccess},
      {u"C:\\Fonts\\blank.tte", SwitchStatus::Step::NotAFontFile, kSuccess},
      {u"C:\\Fonts\\dir.tte", SwitchStatus::Step::NotAFontFile, kSuccess},
      {u"C:\\Fonts\\locked.tte", SwitchStatus::Step::NotAFontFile, kAccessDenied},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Utf16ToUtf8(row.font));
    FakeEudcKey key;
    key.values = std::vector<RawValue>{TextValue(kSystemDefaultEudcFont, u"C:\\WINDOWS\\EUDC.TTE")};
    FakeJournalStore store;
    FakeFiles files;
    files.currentFolder = "C:\\";
    files.AddFont("C:\\Fonts\\user.tte");
    files.AddFont("\\\\srv\\fonts\\user.tte");
    files.Add("C:\\Fonts\\blank.tte");
    files.AddFolder("C:\\Fonts\\dir.tte");
    files.AddFont("C:\\Fonts\\locked.tte");
    files.Find("C:\\Fonts\\locked.tte")->readError = kAccessDenied;
    FontSwitch fontSwitch(key, store, files);

    const SwitchResult result = fontSwitch.SwitchTo(row.font);
    EXPECT_EQ(result.status.step, row.step);
    EXPECT_EQ(result.status.error, row.error);
    const bool done = row.step == SwitchStatus::Step::Done;
    EXPECT_EQ(key.Text(kSystemDefaultEudcFont), done ? row.font : u"C:\\WINDOWS\\EUDC.TTE");
    EXPECT_EQ(store.record.has_value(), done);
    EXPECT_EQ(key.reloads.empty(), !done);  // refused before the fonts are released
  }
}

}  // namespace
}  // namespace tavrel::fakes
