// kernel32 file-system calls: the wildcard directory search, attributes, the
// search path and the Windows directory.
#pragma once

#include <string>

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

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
  virtual DWORD GetFileAttributesA(const char* path) = 0;
  virtual DWORD GetFileAttributesW(const char16_t* path) = 0;
  // `fileName` made full against the current folder, in characters: the
  // length without the NUL when it fits `bufferLength`, the size needed (NUL
  // included) when it does not, 0 on failure. Nothing needs to exist.
  virtual DWORD GetFullPathNameW(const char16_t* fileName, DWORD bufferLength,
                                 char16_t* buffer) = 0;
  // Length of the found path without its NUL when it fits `bufferLength`
  // bytes, the size needed (NUL included) when it does not, 0 when not found.
  virtual DWORD SearchPathA(const char* path, const char* fileName, const char* extension,
                            DWORD bufferLength, char* buffer) = 0;
  virtual UINT GetWindowsDirectoryA(char* buffer, UINT size) = 0;
};

struct FindHandleTraits {
  using Type = Handle;
  static Type Invalid() { return nullptr; }
  void Close(Type search) const { files->FindClose(search); }
  IFileSystem* files = nullptr;
};

using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

}  // namespace tavrel
