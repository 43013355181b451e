// The fake backends in the shape the typed suites expect.
#pragma once

#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"

namespace tavrel::testing {

struct FakeRegistryBackend {
  using Files = fakes::FakeFileSystem;
  fakes::FakeRegistry fake;
  IRegistry& registry() { return fake; }
};

// A folder C:\Scratch in the fake file system.
class FakeFilesBackend {
 public:
  FakeFilesBackend() { fake_.AddFolder(Root()); }
  IFileSystem& files() { return fake_; }
  std::string Root() const { return "C:\\Scratch"; }
  std::string At(const std::string& name) const { return Root() + "\\" + name; }
  void MakeFile(const std::string& name, DWORD attributes, std::vector<BYTE> content = {}) {
    fake_.AddFile(At(name), attributes, std::move(content));
  }
  void MakeFolder(const std::string& name) { fake_.AddFolder(Root() + "\\" + name); }
  void SetCurrentFolder(const std::string& folder) { fake_.SetCurrentDirectory(folder); }

 private:
  fakes::FakeFileSystem fake_;
};

}  // namespace tavrel::testing
