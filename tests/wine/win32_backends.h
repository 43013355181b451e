// The real Win32 backends in the shape the typed suites expect.
#pragma once

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "wine/scratch_folder.h"

namespace tavrel::testing {

struct Win32RegistryBackend {
  using Files = Win32FileSystem;
  Win32Registry real;
  IRegistry& registry() { return real; }
};

class Win32FilesBackend {
 public:
  Win32FilesBackend() = default;
  // The process's current folder back first: a current folder cannot be removed.
  ~Win32FilesBackend() {
    if (!previousFolder_.empty()) SetCurrentDirectoryW(previousFolder_.c_str());
  }
  Win32FilesBackend(const Win32FilesBackend&) = delete;
  Win32FilesBackend& operator=(const Win32FilesBackend&) = delete;

  IFileSystem& files() { return real_; }
  void SetCurrentFolder(const std::string& folder) {
    if (previousFolder_.empty()) {
      previousFolder_.resize(GetCurrentDirectoryW(0, nullptr));
      previousFolder_.resize(GetCurrentDirectoryW(static_cast<DWORD>(previousFolder_.size()),
                                                  previousFolder_.data()));
    }
    SetCurrentDirectoryW(Wide(folder).c_str());
  }
  std::string Root() const { return folder_.Path(); }
  std::string At(const std::string& name) const { return Root() + "\\" + name; }
  void MakeFile(const std::string& name, DWORD attributes, std::vector<BYTE> content = {}) {
    folder_.MakeFile(name, attributes, content);
  }
  void MakeFolder(const std::string& name) { folder_.MakeFolder(name); }

 private:
  Win32FileSystem real_;
  ScratchFolder folder_;
  std::wstring previousFolder_;
};

}  // namespace tavrel::testing
