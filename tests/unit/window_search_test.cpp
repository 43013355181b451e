// The search of the window tree by title.
#include <gtest/gtest.h>

#include "app/window_search.h"
#include "fakes/fake_window_tree.h"

namespace tavrel::fakes {
namespace {

TEST(WindowSearch, ListsDescendantsBeforeTheWindowAfterAPlaceholder) {
  FakeWindowTree tree;
  const Hwnd top = tree.Add(nullptr, "Tavrel [ Ver.1.0.0 ]");
  const Hwnd frame = tree.Add(top, "frame");
  const Hwnd check = tree.Add(frame, "本ソフト[Tavrel]も同時に終了させる");
  const Hwnd other = tree.Add(nullptr, "tavrel.txt - Notepad");
  WindowList list{reinterpret_cast<Hwnd>(0x1)};
  EXPECT_EQ(WindowSearch(tree).FindWindowsByTitle(list, "Tavrel"), 3);
  EXPECT_EQ(list, (WindowList{nullptr, check, top, other}));
}

TEST(WindowSearch, ReadsAtMost254BytesOfATitleInTheCodePage) {
  FakeWindowTree tree;
  // 127 double-byte characters fill 254 bytes exactly.
  const std::string kanji = [] {
    std::string s;
    for (int i = 0; i < 130; ++i) s += "字";
    return s;
  }();
  const Hwnd w = tree.Add(nullptr, kanji);
  const std::string title = WindowSearch(tree).GetWindowTitle(w);
  EXPECT_EQ(title.size(), 127u * 3);
}

struct PatternRow {
  const char* text;
  const char* pattern;
  bool matches;
};

TEST(WindowSearch, WildcardPatterns) {
  const PatternRow rows[] = {
      {"ABC", "*B*", true},     {"ABC", "*D*", false},  {"", "**", true},
      {"外字X", "外?X", true},  {"外字X", "外X", false}, {"ABAB", "*AB", true},
      {"AAB", "*AB*", true},    {"AXBXC", "A*B*C", true}, {"AXBX", "A*B*C", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MatchesPattern(row.text, row.pattern), row.matches) << row.text << " ~ " << row.pattern;
  }
}

}  // namespace
}  // namespace tavrel::fakes
