// The texts in both languages, and which language a display language gets.
#include <gtest/gtest.h>

#include <set>

#include "texts/texts.h"
#include "base/text.h"
#include "fakes/run_rig.h"

namespace tavrel {
namespace {

// The kana, the CJK ideographs and punctuation, and the full-width forms.
bool HasJapanese(std::string_view text) {
  for (const char16_t unit : Utf8ToUtf16(text)) {
    if ((unit >= 0x3000 && unit <= 0x9FFF) || (unit >= 0xFF00 && unit <= 0xFFEF)) return true;
  }
  return false;
}

std::set<std::string> Placeholders(std::string_view text) {
  std::set<std::string> found;
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
    found.insert(std::string(text.substr(at, 2)));
  }
  return found;
}

TEST(Texts, EveryTextHasBothLanguagesWithTheSamePlaceholders) {
  for (int i = 0; i < static_cast<int>(Text::Count); ++i) {
    SCOPED_TRACE(i);
    const std::string_view japanese = TextIn(Language::Japanese, static_cast<Text>(i));
    const std::string_view english = TextIn(Language::English, static_cast<Text>(i));
    EXPECT_FALSE(japanese.empty());
    EXPECT_FALSE(english.empty());
    EXPECT_FALSE(HasJapanese(english)) << english;
    EXPECT_EQ(Placeholders(japanese), Placeholders(english));
  }
}

struct LanguageRow {
  std::uint16_t displayLanguage;
  Language language;
};

class LanguageOfDisplay : public ::testing::TestWithParam<LanguageRow> {};

TEST_P(LanguageOfDisplay, JapaneseOnlyForAJapaneseDisplay) {
  EXPECT_EQ(LanguageOf(GetParam().displayLanguage), GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(Rows, LanguageOfDisplay,
                         ::testing::Values(LanguageRow{0x0411, Language::Japanese},  // ja-JP
                                           LanguageRow{0x0011, Language::Japanese},  // ja, neutral
                                           LanguageRow{0x0409, Language::English},   // en-US
                                           LanguageRow{0x0809, Language::English},   // en-GB
                                           LanguageRow{0x0804, Language::English},   // zh-CN
                                           LanguageRow{0x0412, Language::English},   // ko-KR
                                           LanguageRow{0x0000, Language::English})); // neutral

// The run takes the desktop's display language: a start without files
// prompts in English, and the shortcut is named in English.
TEST(Texts, TheRunSpeaksTheDesktopsDisplayLanguage) {
  fakes::RunRig rig;
  rig.desktop.displayLanguage = 0x0409;
  rig.Folder("C:\\Apps\\Empty", {});
  rig.Start();
  EXPECT_EQ(rig.view.screen.programCaption, TextIn(Language::English, Text::ProgramPrompt));
  EXPECT_EQ(rig.view.screen.fontCaption, TextIn(Language::English, Text::FontPrompt));
  EXPECT_EQ(rig.run->texts().ShortcutName("D:\\Old\\Game.EXE"), "Game (EUDC).lnk");
}

// What a part holds is put in as it is, even what looks like a placeholder.
TEST(Texts, FillPutsThePartsInAsTheyAre) {
  const Texts english(Language::English);
  EXPECT_EQ(english.ErrorText("Access is denied.", 5), "Access is denied. (Error 5)");
  EXPECT_EQ(english.ErrorText("", 0x80070005), "Error 0x80070005");
  EXPECT_EQ(english.Fill(Text::ValueOfKey, {"K", "%3", "%1"}), "\"%3\" in K: %1");
}

}  // namespace
}  // namespace tavrel
