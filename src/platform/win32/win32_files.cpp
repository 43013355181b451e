#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tavrel {

static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kFileAttributeHidden == FILE_ATTRIBUTE_HIDDEN &&
              kFileAttributeSystem == FILE_ATTRIBUTE_SYSTEM &&
              kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kGenericRead == GENERIC_READ && kFileShareRead == FILE_SHARE_READ &&
              kFileShareWrite == FILE_SHARE_WRITE && kFileShareDelete == FILE_SHARE_DELETE &&
              kOpenExisting == OPEN_EXISTING && kErrorNoMoreFiles == ERROR_NO_MORE_FILES &&
              kErrorPathNotFound == ERROR_PATH_NOT_FOUND);

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
  if (Checked(search, search == INVALID_HANDLE_VALUE) == INVALID_HANDLE_VALUE) return nullptr;
  Fill(found, data);
  return search;
}

BOOL Win32FileSystem::FindNextFileW(Handle search, FindDataW* data) {
  WIN32_FIND_DATAW found{};
  const BOOL more = ::FindNextFileW(search, &found);
  if (!Checked(more, !more)) return FALSE;
  Fill(found, data);
  return TRUE;
}

BOOL Win32FileSystem::FindClose(Handle search) { return ::FindClose(search); }

DWORD Win32FileSystem::GetFileAttributesW(const char16_t* path) {
  const DWORD attributes = ::GetFileAttributesW(AsWide(path));
  return Checked(attributes, attributes == INVALID_FILE_ATTRIBUTES);
}

DWORD Win32FileSystem::GetFullPathNameW(const char16_t* fileName, DWORD bufferLength,
                                        char16_t* buffer) {
  const DWORD length = ::GetFullPathNameW(AsWide(fileName), bufferLength, AsWide(buffer), nullptr);
  return Checked(length, length == 0);
}

DWORD Win32FileSystem::SearchPathW(const char16_t* path, const char16_t* fileName,
                                   const char16_t* extension, DWORD bufferLength,
                                   char16_t* buffer) {
  wchar_t* filePart = nullptr;
  const DWORD length = ::SearchPathW(AsWide(path), AsWide(fileName), AsWide(extension),
                                     bufferLength, AsWide(buffer), &filePart);
  return Checked(length, length == 0);
}

UINT Win32FileSystem::GetWindowsDirectoryW(char16_t* buffer, UINT size) {
  const UINT length = ::GetWindowsDirectoryW(AsWide(buffer), size);
  return Checked(length, length == 0);
}

Handle Win32FileSystem::CreateFileW(const char16_t* fileName, DWORD desiredAccess,
                                    DWORD shareMode, DWORD creationDisposition) {
  const HANDLE file = ::CreateFileW(AsWide(fileName), desiredAccess, shareMode, nullptr,
                                    creationDisposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Checked(file, file == INVALID_HANDLE_VALUE) == INVALID_HANDLE_VALUE) return nullptr;
  return file;
}

BOOL Win32FileSystem::ReadFile(Handle file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
  const BOOL read = ::ReadFile(file, buffer, bytesToRead, bytesRead, nullptr);
  return Checked(read, !read);
}

BOOL Win32FileSystem::CloseHandle(Handle file) { return ::CloseHandle(file); }

}  // namespace tavrel
