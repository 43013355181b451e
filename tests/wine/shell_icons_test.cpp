// Win32Shell::ExtractIconW takes the icons from user32 (PrivateExtractIcons)
// to keep shell32 out of start-up: it must answer as shell32's ExtractIconW
// does, for every kind of file start-up and drops can hand it, and never
// with a handle of 1, which Windows documents for files without icons.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/text.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_shell.h"
#include "wine/scratch_folder.h"

namespace tavrel::testing {
namespace {

constexpr UINT kCount = static_cast<UINT>(-1);
const HICON kNotAnIconFile = reinterpret_cast<HICON>(1);

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return SIZE{};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

bool IsIcon(HICON icon) { return icon && icon != kNotAnIconFile; }

struct FileRow {
  const char* what;
  std::string path;  // UTF-8
};

TEST(ShellIcons, AnswerAsShell32Does) {
  ScratchFolder folder;
  const std::string root = folder.Path() + "\\";
  std::ofstream(Wide(root + "text.exe").c_str()) << "not a program";
  folder.MakeFile("empty.exe", FILE_ATTRIBUTE_NORMAL);
  folder.MakeFolder("folder.exe");
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);

  const FileRow rows[] = {
      {"a program with three icons", Narrow(self)},
      {"a system DLL", Narrow(system) + "\\shell32.dll"},
      {"text named .exe", root + "text.exe"},
      {"an empty file", root + "empty.exe"},
      {"a folder named .exe", root + "folder.exe"},
      {"a missing file", root + "missing.exe"},
      {"a program named outside code page 932", root + "도구 Zoë.exe"},
  };
  CopyFileW(self, Wide(root + "도구 Zoë.exe").c_str(), FALSE);
  Win32Shell shell;
  for (const FileRow& row : rows) {
    const std::u16string path = Utf8ToUtf16(row.path);
    const std::wstring wide = Wide(row.path);
    EXPECT_EQ(shell.ExtractIconW(nullptr, path.c_str(), kCount),
              ::ExtractIconW(GetModuleHandleW(nullptr), wide.c_str(), kCount))
        << row.what;
    for (const UINT index : {0u, 1u, 2u, 100u}) {
      HICON mine = shell.ExtractIconW(nullptr, path.c_str(), index);
      HICON theirs = ::ExtractIconW(GetModuleHandleW(nullptr), wide.c_str(), index);
      EXPECT_EQ(IsIcon(mine), IsIcon(theirs)) << row.what << ", icon " << index;
      EXPECT_NE(mine, kNotAnIconFile) << row.what << ", icon " << index;  // never a handle of 1
      if (IsIcon(mine) && IsIcon(theirs)) {
        EXPECT_EQ(IconSize(mine).cx, IconSize(theirs).cx) << row.what << ", icon " << index;
        EXPECT_EQ(IconSize(mine).cy, IconSize(theirs).cy) << row.what << ", icon " << index;
      }
      if (IsIcon(mine)) DestroyIcon(mine);
      if (IsIcon(theirs)) DestroyIcon(theirs);
    }
  }
}

}  // namespace
}  // namespace tavrel::testing
