// IFileSystem over kernel32.
#pragma once

#include <windows.h>

#include "platform/file_api.h"

namespace tavrel {

class Win32FileSystem final : public IFileSystem {
 public:
  Handle FindFirstFileW(const char16_t* pattern, FindDataW* data) override;
  BOOL FindNextFileW(Handle search, FindDataW* data) override;
  BOOL FindClose(Handle search) override;
  DWORD GetFileAttributesW(const char16_t* path) override;
  DWORD SearchPathW(const char16_t* path, const char16_t* fileName, const char16_t* extension,
                    DWORD bufferLength, char16_t* buffer) override;
  UINT GetWindowsDirectoryW(char16_t* buffer, UINT size) override;
  Handle CreateFileW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode,
                     DWORD creationDisposition) override;
  BOOL ReadFile(Handle file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) override;
  BOOL CloseHandle(Handle file) override;
  DWORD GetLastError() override { return lastError_; }

 private:
  // Keeps GetLastError() of a call that failed, before anything else runs.
  template <typename T>
  T Checked(T result, bool failed) {
    if (failed) lastError_ = ::GetLastError();
    return result;
  }

  DWORD lastError_ = 0;
};

}  // namespace tavrel
