// The directory search, attributes, the search path and reading a file's
// first bytes against a file-system backend: the fake on the host, real
// folders under Wine. Names include characters outside code page 932.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/file_api.h"
#include "platform/text.h"

namespace tavrel::testing {

template <typename Backend>
class FileSystemSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_.MakeFile("Viewer.EXE", kFileAttributeArchive);
    backend_.MakeFile("hidden.exe", kFileAttributeHidden);
    backend_.MakeFile("sys.exe", kFileAttributeSystem);
    backend_.MakeFile("ro.exe", kFileAttributeReadonly);
    backend_.MakeFolder("dir.exe");
    backend_.MakeFile("font.tte", kFileAttributeArchive, {0x00, 0x01, 0x00, 0x00, 0x00, 0x0A});
    backend_.MakeFolder("도구 Zoë");
    backend_.MakeFile("도구 Zoë\\ゲーム.tte", kFileAttributeArchive, {'O', 'T', 'T', 'O'});
  }
  IFileSystem& files() { return backend_.files(); }
  std::string At(const std::string& name) { return backend_.Root() + "\\" + name; }

  // Every match of a pattern: (name as stored, the attributes that matter).
  std::set<std::pair<std::string, DWORD>> Matches(const std::string& pattern) {
    std::set<std::pair<std::string, DWORD>> out;
    FindDataW data;
    UniqueFindHandle search(files().FindFirstFileW(Utf8ToUtf16(At(pattern)).c_str(), &data),
                            FindHandleTraits{&files()});
    if (!search) return out;
    do {
      const DWORD kinds = kFileAttributeDirectory | kFileAttributeHidden | kFileAttributeSystem;
      out.emplace(Utf16ToUtf8(data.cFileName), data.dwFileAttributes & kinds);
    } while (files().FindNextFileW(search.get(), &data));
    return out;
  }

  Backend backend_;
};

TYPED_TEST_SUITE_P(FileSystemSuite);

TYPED_TEST_P(FileSystemSuite, AWildcardSearchReportsStoredNamesAndAttributes) {
  const std::set<std::pair<std::string, DWORD>> expected{
      {"Viewer.EXE", 0},
      {"hidden.exe", kFileAttributeHidden},
      {"sys.exe", kFileAttributeSystem},
      {"ro.exe", 0},
      {"dir.exe", kFileAttributeDirectory}};
  EXPECT_EQ(this->Matches("*.exe"), expected);
  EXPECT_EQ(this->Matches("*.EXE"), expected);
  EXPECT_EQ(this->Matches("*.tte").size(), 1u);
  EXPECT_EQ(this->Matches("도구 Zoë\\*.TTE"),
            (std::set<std::pair<std::string, DWORD>>{{"ゲーム.tte", 0}}));
}

TYPED_TEST_P(FileSystemSuite, APlainPathGivesTheNameAsStored) {
  EXPECT_EQ(this->Matches("VIEWER.exe"),
            (std::set<std::pair<std::string, DWORD>>{{"Viewer.EXE", 0}}));
  EXPECT_TRUE(this->Matches("missing.exe").empty());
  EXPECT_TRUE(this->Matches("nowhere\\*.exe").empty());
}

TYPED_TEST_P(FileSystemSuite, TheSearchPathFindsFoldersToo) {
  IFileSystem& files = this->files();
  const std::u16string root = Utf8ToUtf16(this->backend_.Root());
  char16_t buffer[261] = {};
  const DWORD n = files.SearchPathW(root.c_str(), u"dir.exe", nullptr, 261, buffer);
  ASSERT_GT(n, 0u);
  EXPECT_TRUE(files.GetFileAttributesW(buffer) & kFileAttributeDirectory);
  EXPECT_EQ(files.SearchPathW(root.c_str(), u"nothing.exe", nullptr, 261, buffer), 0u);
  EXPECT_EQ(files.GetLastError(), static_cast<DWORD>(kErrorFileNotFound));
  EXPECT_EQ(files.GetFileAttributesW(Utf8ToUtf16(this->At("nothing.exe")).c_str()),
            kInvalidFileAttributes);
}

TYPED_TEST_P(FileSystemSuite, TheSearchPathReportsTheLengthItNeeds) {
  IFileSystem& files = this->files();
  const std::u16string root = Utf8ToUtf16(this->backend_.At("도구 Zoë"));
  char16_t small[4] = {};
  const DWORD needed = files.SearchPathW(root.c_str(), u"ゲーム.tte", nullptr, 4, small);
  std::u16string full(needed, u'\0');
  const DWORD length = files.SearchPathW(root.c_str(), u"ゲーム.tte", nullptr, needed, full.data());
  EXPECT_EQ(length + 1, needed);
  full.resize(length);
  EXPECT_EQ(UpperCase(Utf16ToUtf8(full)), UpperCase(this->At("도구 Zoë\\ゲーム.tte")));
}

TYPED_TEST_P(FileSystemSuite, TheDefaultExtensionIsAddedOnlyToANameWithout) {
  IFileSystem& files = this->files();
  const std::u16string root = Utf8ToUtf16(this->backend_.Root());
  char16_t buffer[261] = {};
  EXPECT_GT(files.SearchPathW(root.c_str(), u"ro", u".exe", 261, buffer), 0u);
  EXPECT_EQ(files.SearchPathW(root.c_str(), u"ro", nullptr, 261, buffer), 0u);
}

TYPED_TEST_P(FileSystemSuite, AFilesFirstBytesAreRead) {
  IFileSystem& files = this->files();
  for (const auto& [name, first] : {std::pair<std::string, BYTE>{"font.tte", 0x00},
                                    std::pair<std::string, BYTE>{"도구 Zoë\\ゲーム.tte", 'O'}}) {
    SCOPED_TRACE(name);
    UniqueFileHandle file(files.CreateFileW(Utf8ToUtf16(this->At(name)).c_str(), kGenericRead,
                                            kFileShareRead | kFileShareWrite | kFileShareDelete,
                                            kOpenExisting),
                          FileHandleTraits{&files});
    ASSERT_TRUE(file);
    BYTE head[4] = {};
    DWORD read = 0;
    ASSERT_TRUE(files.ReadFile(file.get(), head, sizeof head, &read));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(head[0], first);
  }
  UniqueFileHandle empty(files.CreateFileW(Utf8ToUtf16(this->At("ro.exe")).c_str(), kGenericRead,
                                           kFileShareRead, kOpenExisting),
                         FileHandleTraits{&files});
  ASSERT_TRUE(empty);
  BYTE head[4] = {};
  DWORD read = 99;
  EXPECT_TRUE(files.ReadFile(empty.get(), head, sizeof head, &read));  // the end is no error
  EXPECT_EQ(read, 0u);
}

struct OpenFailure {
  const char* name;
  LSTATUS error;
};

TYPED_TEST_P(FileSystemSuite, AFileThatCannotBeOpenedSaysWhy) {
  IFileSystem& files = this->files();
  for (const OpenFailure& row : {OpenFailure{"gone.tte", kErrorFileNotFound},
                                 OpenFailure{"gone\\font.tte", kErrorPathNotFound},
                                 OpenFailure{"dir.exe", kErrorAccessDenied}}) {
    SCOPED_TRACE(row.name);
    const Handle file = files.CreateFileW(Utf8ToUtf16(this->At(row.name)).c_str(), kGenericRead,
                                          kFileShareRead, kOpenExisting);
    EXPECT_EQ(file, nullptr);
    if (file) files.CloseHandle(file);
    EXPECT_EQ(files.GetLastError(), static_cast<DWORD>(row.error));
  }
}

TYPED_TEST_P(FileSystemSuite, WideAttributesTellFilesFromFoldersInAnyScript) {
  this->backend_.MakeFile("外字 ファイル.tte", kFileAttributeArchive);
  IFileSystem& files = this->files();
  auto attributes = [&](const std::string& name) {
    return files.GetFileAttributesW(Utf8ToUtf16(this->At(name)).c_str());
  };
  EXPECT_EQ(attributes("外字 ファイル.tte") & kFileAttributeDirectory, 0u);
  EXPECT_NE(attributes("外字 ファイル.tte"), kInvalidFileAttributes);
  EXPECT_NE(attributes("dir.exe") & kFileAttributeDirectory, 0u);
  EXPECT_EQ(attributes("nothing.exe"), kInvalidFileAttributes);
  EXPECT_EQ(attributes("*.exe"), kInvalidFileAttributes);
}

// What a relative path on the command line becomes. Nothing is looked up.
TYPED_TEST_P(FileSystemSuite, FullPathsAreMadeAgainstTheCurrentFolder) {
  const std::string root = this->backend_.Root();
  const std::string drive = root.substr(0, 2);
  const std::string parent = root.substr(0, root.rfind('\\'));
  this->backend_.SetCurrentFolder(root);
  const std::pair<std::string, std::string> rows[] = {
      {"a.exe", root + "\\a.exe"},
      {".\\a.exe", root + "\\a.exe"},
      {"sub\\..\\a.exe", root + "\\a.exe"},
      {"..\\a.exe", parent + "\\a.exe"},
      {"\\a.exe", drive + "\\a.exe"},
      {drive + "a.exe", root + "\\a.exe"},
      {"sub/x.tte", root + "\\sub\\x.tte"},
      {root + "\\\\sub\\x.tte", root + "\\sub\\x.tte"},
      {drive + "\\x\\..\\..\\..\\y", drive + "\\y"},
      {"a.exe.", root + "\\a.exe"},
      {"a.exe  ", root + "\\a.exe"},
      {"a*?.exe", root + "\\a*?.exe"},
      {"ゲーム\\外字.tte", root + "\\ゲーム\\外字.tte"},
  };
  IFileSystem& files = this->files();
  for (const auto& [name, expected] : rows) {
    char16_t buffer[1024] = {};
    const DWORD length = files.GetFullPathNameW(Utf8ToUtf16(name).c_str(), 1024, buffer);
    EXPECT_EQ(UpperCase(Utf16ToUtf8(std::u16string_view(buffer, length))), UpperCase(expected))
        << name;
  }
  char16_t small[4] = {};
  const DWORD needed = files.GetFullPathNameW(u"a.exe", 4, small);
  EXPECT_EQ(needed, Utf8ToUtf16(root + "\\a.exe").size() + 1);
  EXPECT_EQ(files.GetFullPathNameW(u"", 4, small), 0u);
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemSuite, AWildcardSearchReportsStoredNamesAndAttributes,
                            APlainPathGivesTheNameAsStored, TheSearchPathFindsFoldersToo,
                            TheSearchPathReportsTheLengthItNeeds,
                            TheDefaultExtensionIsAddedOnlyToANameWithout, AFilesFirstBytesAreRead,
                            AFileThatCannotBeOpenedSaysWhy, WideAttributesTellFilesFromFoldersInAnyScript,
                            FullPathsAreMadeAgainstTheCurrentFolder);

}  // namespace tavrel::testing
