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
  IFileSystem& files() { return real_; }
  std::string Root() const { return folder_.Path(); }
  std::string At(const std::string& name) const { return Root() + "\\" + name; }
  void MakeFile(const std::string& name, DWORD attributes, std::vector<BYTE> content = {}) {
    folder_.MakeFile(name, attributes, content);
  }
  void MakeFolder(const std::string& name) { folder_.MakeFolder(name); }

 private:
  Win32FileSystem real_;
  ScratchFolder folder_;
};

}  // namespace tavrel::testing
