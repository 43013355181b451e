// IFileSystem over kernel32.
#pragma once

#include "platform/file_api.h"
#include "platform/win32/last_error.h"

namespace tavrel {

class Win32FileSystem final : private LastErrorKeeper, public IFileSystem {
 public:
  Handle FindFirstFileW(const char16_t* pattern, FindDataW* data) override;
  BOOL FindNextFileW(Handle search, FindDataW* data) override;
  BOOL FindClose(Handle search) override;
  DWORD GetFileAttributesW(const char16_t* path) override;
  DWORD GetFullPathNameW(const char16_t* fileName, DWORD bufferLength, char16_t* buffer) override;
  DWORD SearchPathW(const char16_t* path, const char16_t* fileName, const char16_t* extension,
                    DWORD bufferLength, char16_t* buffer) override;
  UINT GetWindowsDirectoryW(char16_t* buffer, UINT size) override;
  Handle CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode,
                     DWORD creationDisposition) override;
  BOOL ReadFile(Handle file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) override;
  BOOL CloseHandle(Handle file) override;
  DWORD GetLastError() override { return lastError_; }
};

}  // namespace tavrel
