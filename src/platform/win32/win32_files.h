// IFileSystem over kernel32.
#pragma once

#include "platform/file_api.h"

namespace tavrel {

class Win32FileSystem final : public IFileSystem {
 public:
  Handle FindFirstFileW(const char16_t* pattern, FindDataW* data) override;
  BOOL FindNextFileW(Handle search, FindDataW* data) override;
  BOOL FindClose(Handle search) override;
  DWORD GetFileAttributesA(const char* path) override;
  DWORD GetFileAttributesW(const char16_t* path) override;
  DWORD GetFullPathNameW(const char16_t* fileName, DWORD bufferLength, char16_t* buffer) override;
  DWORD SearchPathA(const char* path, const char* fileName, const char* extension,
                    DWORD bufferLength, char* buffer) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;
};

}  // namespace tavrel
