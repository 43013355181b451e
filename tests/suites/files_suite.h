// The files seam's contract, run against the fake and against a real scratch
// folder. The backend adapter gives `seam()` and:
//   Root()                          a folder of the test's own, full path;
//   MakeFile(name, kind, content)   a file in it; MakeFolder(name) a folder;
//   SetCurrentFolder(path)          the current folder, for the test only.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "base/text.h"
#include "files/files.h"

namespace tavrel {
inline void PrintTo(const FolderEntry& e, std::ostream* os) {
  *os << "{" << Utf16ToUtf8(e.name) << (e.normalFile ? ", normal}" : ", not normal}");
}
}  // namespace tavrel

namespace tavrel::testing {

enum class FileKind { Normal, ReadOnly, Hidden, System };

template <typename Backend>
class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_.MakeFile("Gaiji Font.tte", FileKind::Normal, {0x00, 0x01, 0x00, 0x00, 0x00, 0x0A});
    backend_.MakeFile("外字 😀.tte", FileKind::Normal, {'O', 'T', 'T', 'O'});
    backend_.MakeFile("read only.tte", FileKind::ReadOnly, {});
    backend_.MakeFile("hidden.tte", FileKind::Hidden, {1});
    backend_.MakeFile("system.tte", FileKind::System, {1});
    backend_.MakeFolder("folder.tte");
    backend_.MakeFile("other.ttf", FileKind::Normal, {1});
    backend_.MakeFile("font.tte_old", FileKind::Normal, {1});
  }
  IFiles& files() { return backend_.seam(); }
  std::u16string At(const char* name) { return backend_.Root() + u"\\" + Utf8ToUtf16(name); }

  Backend backend_;
};

TYPED_TEST_SUITE_P(FilesContract);

// Where a volume keeps 8.3 names (under Wine every file has one), "*.tte"
// matches "font.tte_old" by its short name; whatever matched is listed by
// its long name.
TYPED_TEST_P(FilesContract, AWildcardListsLongNamesAndTellsNormalFiles) {
  const auto byName = [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; };
  const std::vector<FolderEntry> expected{  // by name
      {u"Gaiji Font.tte", true}, {u"folder.tte", false}, {u"hidden.tte", false},
      {u"read only.tte", true},  {u"system.tte", false}, {Utf8ToUtf16("外字 😀.tte"), true}};
  for (const char* pattern : {"*.tte", "*.TTE"}) {
    std::vector<FolderEntry> listed = this->files().List(this->At(pattern));
    std::erase(listed, FolderEntry{u"font.tte_old", true});
    std::sort(listed.begin(), listed.end(), byName);
    EXPECT_EQ(listed, expected) << pattern;
  }
}

// A path without a wildcard: its own entry, and whether it names a file.
TYPED_TEST_P(FilesContract, APlainPathListsItsOwnEntryAsStored) {
  const struct {
    const char* path;
    std::vector<FolderEntry> entries;
    bool isFile;
  } rows[] = {
      {"GAIJI FONT.TTE", {{u"Gaiji Font.tte", true}}, true},
      {"外字 😀.tte", {{Utf8ToUtf16("外字 😀.tte"), true}}, true},
      {"hidden.tte", {{u"hidden.tte", false}}, true},
      {"folder.tte", {{u"folder.tte", false}}, false},
      {"missing.tte", {}, false},
      {"missing\\*.tte", {}, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(this->files().List(this->At(row.path)), row.entries) << row.path;
    EXPECT_EQ(this->files().IsFile(this->At(row.path)), row.isFile) << row.path;
  }
  EXPECT_FALSE(this->files().IsFile(this->At("*.tte")));
}

TYPED_TEST_P(FilesContract, TheHeadIsAtMostTheCountAskedFor) {
  struct Row {
    const char* name;
    std::size_t count;
    std::vector<std::uint8_t> bytes;
    ErrorCode error;
  };
  const Row rows[] = {
      {"Gaiji Font.tte", 4, {0x00, 0x01, 0x00, 0x00}, kSuccess},
      {"Gaiji Font.tte", 100, {0x00, 0x01, 0x00, 0x00, 0x00, 0x0A}, kSuccess},
      {"外字 😀.tte", 4, {'O', 'T', 'T', 'O'}, kSuccess},
      {"hidden.tte", 4, {1}, kSuccess},
      {"read only.tte", 4, {}, kSuccess},  // the end of a file is no error
      {"missing.tte", 4, {}, kFileNotFound},
      {"folder.tte", 4, {}, kAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.name << " " << row.count);
    const FileHead head = this->files().ReadHead(this->At(row.name), row.count);
    EXPECT_EQ(head.bytes, row.bytes);
    EXPECT_EQ(head.error, row.error);
  }
}

TYPED_TEST_P(FilesContract, ARelativePathIsMadeFullAgainstTheCurrentFolder) {
  this->backend_.SetCurrentFolder(this->backend_.Root());
  for (const char* name : {"a.tte", "ゲーム\\外字.tte"}) {
    EXPECT_EQ(this->files().FullPath(Utf8ToUtf16(name)), this->At(name)) << name;
  }
  EXPECT_EQ(this->files().FullPath(this->At("b.tte")), this->At("b.tte"));
  EXPECT_EQ(this->files().FullPath(u""), std::nullopt);
}

REGISTER_TYPED_TEST_SUITE_P(FilesContract, AWildcardListsLongNamesAndTellsNormalFiles,
                            APlainPathListsItsOwnEntryAsStored, TheHeadIsAtMostTheCountAskedFor,
                            ARelativePathIsMadeFullAgainstTheCurrentFolder);

}  // namespace tavrel::testing
