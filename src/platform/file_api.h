// kernel32 file-system calls: the wildcard directory search, attributes, the
// search path, the Windows directory and reading the start of a file. Every
// path crosses as UTF-16 through the wide entry points, and every buffer
// length counts UTF-16 units.
#pragma once

#include <string>

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

inline constexpr DWORD kGenericRead = 0x80000000;
inline constexpr DWORD kFileShareRead = 0x1;
inline constexpr DWORD kFileShareWrite = 0x2;
inline constexpr DWORD kFileShareDelete = 0x4;
inline constexpr DWORD kOpenExisting = 3;

// What FindFirstFileW/FindNextFileW report of one match (the fields Tavrel reads).
struct FindDataW {
  DWORD dwFileAttributes = 0;
  std::u16string cFileName;  // the long name as the file system stores it
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // A search handle, or nullptr when nothing matches or the folder is missing
  // (the SDK's INVALID_HANDLE_VALUE is mapped to nullptr at this seam).
  virtual Handle FindFirstFileW(const char16_t* pattern, FindDataW* data) = 0;
  virtual BOOL FindNextFileW(Handle search, FindDataW* data) = 0;
  virtual BOOL FindClose(Handle search) = 0;

  // kInvalidFileAttributes when the path names nothing.
  virtual DWORD GetFileAttributesW(const char16_t* path) = 0;
  // `fileName` made full against the current folder, in characters: the
  // length without the NUL when it fits `bufferLength`, the size needed (NUL
  // included) when it does not, 0 on failure. Nothing needs to exist.
  virtual DWORD GetFullPathNameW(const char16_t* fileName, DWORD bufferLength,
                                 char16_t* buffer) = 0;
  // Length of the found path without its NUL when it fits `bufferLength`
  // units, the length needed (NUL included) when it does not, 0 when not found.
  virtual DWORD SearchPathW(const char16_t* path, const char16_t* fileName,
                            const char16_t* extension, DWORD bufferLength, char16_t* buffer) = 0;
  virtual UINT GetWindowsDirectoryW(char16_t* buffer, UINT size) = 0;

  // An open file, or nullptr on failure (INVALID_HANDLE_VALUE at the SDK),
  // with no security record, no template and normal attributes.
  virtual Handle CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode,
                             DWORD creationDisposition) = 0;
  virtual BOOL ReadFile(Handle file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) = 0;
  virtual BOOL CloseHandle(Handle file) = 0;

  // The error of the last call of this interface that failed, as
  // GetLastError() gave it right after that call.
  virtual DWORD GetLastError() = 0;
};

using FindHandleTraits = ApiHandleTraits<IFileSystem, Handle, &IFileSystem::FindClose>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

using FileHandleTraits = ApiHandleTraits<IFileSystem, Handle, &IFileSystem::CloseHandle>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

}  // namespace tavrel
