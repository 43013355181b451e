// The shortcuts seam's contract, run against the fake and against a real
// scratch folder. The backend adapter gives `seam()`, `files()` (the files
// seam over the same folders) and:
//   Root()                       a folder of the test's own, full path;
//   MakeFile(name), MakeFolder(name)  in it;
//   ReadBack(path)               the shortcut a file holds, read as the shell
//                                reads it; nothing when it holds none.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "base/text.h"
#include "files/files.h"
#include "shortcuts/shortcuts.h"

namespace tavrel {
inline void PrintTo(const Shortcut& s, std::ostream* os) {
  *os << "{" << Utf16ToUtf8(s.target) << " | " << Utf16ToUtf8(s.arguments) << " | "
      << Utf16ToUtf8(s.workingFolder) << " | " << Utf16ToUtf8(s.iconFile) << "," << s.iconIndex << "}";
}
}  // namespace tavrel

namespace tavrel::testing {

template <typename Backend>
class ShortcutsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_.MakeFile("Tavrel.exe");
    backend_.MakeFolder("古い ゲーム");
    backend_.MakeFile("古い ゲーム\\ゲーム 😀.exe");
  }
  IShortcuts& shortcuts() { return backend_.seam(); }
  std::u16string At(const char* name) { return backend_.Root() + u"\\" + Utf8ToUtf16(name); }
  // Tavrel starting the program in the folder with blanks, with `arguments`.
  Shortcut ToGame(const std::u16string& arguments) {
    return Shortcut{At("Tavrel.exe"), arguments, At("古い ゲーム"), At("古い ゲーム\\ゲーム 😀.exe"), 0};
  }

  Backend backend_;
};

TYPED_TEST_SUITE_P(ShortcutsContract);

TYPED_TEST_P(ShortcutsContract, WhatIsWrittenReadsBack) {
  const std::u16string quoted = u"/run /exit \"" + this->At("古い ゲーム\\ゲーム 😀.exe") + u"\" \"" +
                                this->At("外字.tte") + u"\"";
  const struct {
    const char* name;
    Shortcut shortcut;
  } rows[] = {
      {"ゲーム 😀 (外字).lnk", this->ToGame(quoted)},
      {"plain.lnk", Shortcut{this->At("Tavrel.exe"), u"", this->backend_.Root(), this->At("Tavrel.exe"), 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(this->shortcuts().Write(this->At(row.name), row.shortcut), kSuccess);
    EXPECT_TRUE(this->backend_.files().IsFile(this->At(row.name)));
    EXPECT_EQ(this->backend_.ReadBack(this->At(row.name)), row.shortcut);
  }
}

TYPED_TEST_P(ShortcutsContract, AFileAlreadyThereIsReplaced) {
  const std::u16string file = this->At("game.lnk");
  ASSERT_EQ(this->shortcuts().Write(file, this->ToGame(u"/run")), kSuccess);
  ASSERT_EQ(this->shortcuts().Write(file, this->ToGame(u"/exit")), kSuccess);
  EXPECT_EQ(this->backend_.ReadBack(file), this->ToGame(u"/exit"));
}

// Nothing is written where the folder is missing or a folder stands at the
// path; what the error is depends on the system.
TYPED_TEST_P(ShortcutsContract, NoFileWithoutAFolderForIt) {
  EXPECT_NE(this->shortcuts().Write(this->At("missing\\game.lnk"), this->ToGame(u"")), kSuccess);
  EXPECT_EQ(this->backend_.files().List(this->At("missing")), std::vector<FolderEntry>{});
  EXPECT_NE(this->shortcuts().Write(this->At("古い ゲーム"), this->ToGame(u"")), kSuccess);
  EXPECT_FALSE(this->backend_.files().IsFile(this->At("古い ゲーム")));
}

TYPED_TEST_P(ShortcutsContract, TheDesktopIsAFolderByItsFullPath) {
  const FolderPath desktop = this->shortcuts().DesktopFolder();
  ASSERT_EQ(desktop.error, kSuccess);
  ASSERT_GT(desktop.path.size(), 3u);
  EXPECT_EQ(desktop.path.substr(1, 2), u":\\");
  EXPECT_NE(desktop.path.back(), u'\\');
  const std::vector<FolderEntry> entry = this->backend_.files().List(desktop.path);
  ASSERT_EQ(entry.size(), 1u);
  EXPECT_FALSE(this->backend_.files().IsFile(desktop.path));
}

// What a link starts, read through the seam: a program with its arguments
// and folder, or a folder, which the caller refuses; a file that is no link
// and a missing one are errors.
TYPED_TEST_P(ShortcutsContract, ALinkReadsAsWhatItStarts) {
  const struct {
    const char* name;
    Shortcut shortcut;
  } rows[] = {
      {"ゲーム 😀.lnk", this->ToGame(u"-window \"two words\"")},
      {"folder.lnk", Shortcut{this->At("古い ゲーム"), u"", this->backend_.Root(), this->At("Tavrel.exe"), 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(this->shortcuts().Write(this->At(row.name), row.shortcut), kSuccess);
    const LinkReading read = this->shortcuts().Read(this->At(row.name));
    ASSERT_EQ(read.error, kSuccess);
    EXPECT_EQ(Utf16ToUtf8(read.target), Utf16ToUtf8(row.shortcut.target));
    EXPECT_EQ(Utf16ToUtf8(read.arguments), Utf16ToUtf8(row.shortcut.arguments));
    EXPECT_EQ(Utf16ToUtf8(read.workingFolder), Utf16ToUtf8(row.shortcut.workingFolder));
  }
  EXPECT_NE(this->shortcuts().Read(this->At("Tavrel.exe")).error, kSuccess);
  EXPECT_NE(this->shortcuts().Read(this->At("missing.lnk")).error, kSuccess);
}

REGISTER_TYPED_TEST_SUITE_P(ShortcutsContract, WhatIsWrittenReadsBack, AFileAlreadyThereIsReplaced,
                            NoFileWithoutAFolderForIt, TheDesktopIsAFolderByItsFullPath,
                            ALinkReadsAsWhatItStarts);

}  // namespace tavrel::testing
