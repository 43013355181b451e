// tavrel.exe's version resource as Explorer's properties read it: one string
// block per language, each listed under Translation.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/win32/wide.h"
#include "wine/built_file.h"

namespace tavrel::testing {
namespace {

constexpr WORD kUnicode = 1200;

std::vector<BYTE> VersionInfo() {
  const std::wstring exe = BuiltFile(TAVREL_EXE);
  std::vector<BYTE> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
  if (!info.empty() && !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data())) {
    info.clear();
  }
  return info;
}

std::string StringOf(std::vector<BYTE>& info, WORD language, const wchar_t* name) {
  wchar_t block[64];
  swprintf(block, std::size(block), L"\\StringFileInfo\\%04x%04x\\%ls", language, kUnicode, name);
  void* value = nullptr;
  UINT length = 0;  // characters, with the terminator
  if (!VerQueryValueW(info.data(), block, &value, &length) || length == 0) return {};
  return Narrow(std::wstring(static_cast<const wchar_t*>(value), length - 1));
}

TEST(VersionResource, HoldsAJapaneseAndAnEnglishBlockBothListedAsTranslations) {
  std::vector<BYTE> info = VersionInfo();
  ASSERT_FALSE(info.empty()) << "tavrel.exe has no version resource";
  const struct {
    WORD language;
    const char* description;
  } rows[] = {
      {0x0411, "ソフト起動中のみユーザー外字を変更"},
      {0x0409, "Switches the user's EUDC font only while a program runs"},
  };
  void* raw = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &raw, &bytes));
  const auto* pairs = static_cast<const WORD*>(raw);  // language, code page, language, ...
  std::vector<std::pair<WORD, WORD>> listed;
  for (UINT i = 0; i + 1 < bytes / sizeof(WORD); i += 2) listed.emplace_back(pairs[i], pairs[i + 1]);
  ASSERT_EQ(listed.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(listed[i], std::make_pair(row.language, kUnicode)) << row.language;
    EXPECT_EQ(StringOf(info, row.language, L"FileDescription"), row.description) << row.language;
    EXPECT_EQ(StringOf(info, row.language, L"ProductName"), "Tavrel") << row.language;
    EXPECT_EQ(StringOf(info, row.language, L"CompanyName"), "Ferroday") << row.language;
    EXPECT_EQ(StringOf(info, row.language, L"OriginalFilename"), "tavrel.exe") << row.language;
  }
}

}  // namespace
}  // namespace tavrel::testing
