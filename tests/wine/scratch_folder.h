// A fresh folder under the temporary folder, removed with everything in it.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/win32/wide.h"

namespace tavrel::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"tavrel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter_);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Path() const { return Narrow(path_); }
  std::wstring WidePath() const { return path_; }

  void MakeFile(const std::string& name, DWORD attributes, const std::vector<BYTE>& content = {}) {
    const std::wstring file = path_ + L"\\" + Wide(name);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      if (!content.empty()) WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
      CloseHandle(h);
    }
    SetFileAttributesW(file.c_str(), attributes);
  }
  void MakeFolder(const std::string& name) {
    CreateDirectoryW((path_ + L"\\" + Wide(name)).c_str(), nullptr);
  }

 private:
  std::wstring path_;
  static inline int counter_ = 0;
};

}  // namespace tavrel::testing
