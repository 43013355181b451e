#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kFileAttributeHidden == FILE_ATTRIBUTE_HIDDEN &&
              kFileAttributeSystem == FILE_ATTRIBUTE_SYSTEM &&
              kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);

namespace {

void Fill(const WIN32_FIND_DATAW& found, FindDataW* data) {
  data->dwFileAttributes = found.dwFileAttributes;
  data->cFileName = reinterpret_cast<const char16_t*>(found.cFileName);
}

}  // namespace

Handle Win32FileSystem::FindFirstFileW(const char16_t* pattern, FindDataW* data) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(AsWide(pattern), &found);
  // The seam's "no search" is nullptr; Win32's is INVALID_HANDLE_VALUE.
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  Fill(found, data);
  return search;
}

BOOL Win32FileSystem::FindNextFileW(Handle search, FindDataW* data) {
  WIN32_FIND_DATAW found{};
  if (!::FindNextFileW(search, &found)) return FALSE;
  Fill(found, data);
  return TRUE;
}

BOOL Win32FileSystem::FindClose(Handle search) { return ::FindClose(search); }

DWORD Win32FileSystem::GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }

DWORD Win32FileSystem::GetFileAttributesW(const char16_t* path) {
  return ::GetFileAttributesW(AsWide(path));
}

DWORD Win32FileSystem::GetFullPathNameW(const char16_t* fileName, DWORD bufferLength,
                                        char16_t* buffer) {
  return ::GetFullPathNameW(AsWide(fileName), bufferLength, AsWide(buffer), nullptr);
}

DWORD Win32FileSystem::SearchPathA(const char* path, const char* fileName, const char* extension,
                                   DWORD bufferLength, char* buffer) {
  char* filePart = nullptr;
  return ::SearchPathA(path, fileName, extension, bufferLength, buffer, &filePart);
}

UINT Win32FileSystem::GetWindowsDirectoryA(char* buffer, UINT size) {
  return ::GetWindowsDirectoryA(buffer, size);
}

}  // namespace tavrel
