#include "files/win32/files_win32.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "base/win32/filled_text.h"
#include "base/win32/handles.h"
#include "base/win32/wide.h"

namespace tavrel {
namespace {

struct FindCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
using UniqueFind = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

bool IsNormal(DWORD attributes) {
  return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace

std::vector<FolderEntry> Win32Files::List(std::u16string_view pattern) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  // INVALID_HANDLE_VALUE when nothing matches or the folder is missing:
  // either way there is nothing to list.
  const HANDLE first = FindFirstFileW(WideOf(pattern).c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return entries;
  const UniqueFind search(first);
  do {
    entries.push_back(FolderEntry{Utf16Of(found.cFileName), IsNormal(found.dwFileAttributes)});
  } while (FindNextFileW(search.get(), &found));
  return entries;
}

FileHead Win32Files::ReadHead(std::u16string_view path, std::size_t count) {
  FileHead head;
  // Shared every way: the font may be open in an editor, or be replaced.
  const HANDLE opened =
      CreateFileW(WideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    head.error = GetLastError();
    return head;
  }
  const UniqueWin32Handle file(opened);
  head.bytes.resize(count);
  DWORD read = 0;
  if (!ReadFile(file.get(), head.bytes.data(), static_cast<DWORD>(count), &read, nullptr)) {
    head.error = GetLastError();
    read = 0;
  }
  head.bytes.resize(read);
  return head;
}

std::optional<std::u16string> Win32Files::FullPath(std::u16string_view path) {
  const std::wstring name = WideOf(path);
  const std::optional<std::wstring> full = FilledText([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(name.c_str(), size, buffer, nullptr);
  });
  if (!full) return std::nullopt;
  return Utf16Of(*full);
}

bool Win32Files::IsFile(std::u16string_view path) {
  const DWORD attributes = GetFileAttributesW(WideOf(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tavrel
