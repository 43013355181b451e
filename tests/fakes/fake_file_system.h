// An in-memory file system that answers like kernel32: names compared without
// regard to case but reported as stored, attributes per entry, wildcard search
// over one folder in directory order (the order of adding) that matches short
// names too, SearchPath over a list of folders that finds folders too, full
// paths made against a current folder.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_api.h"

namespace tavrel::fakes {

class FakeFileSystem final : public IFileSystem {
 public:
  // Paths are full Windows paths in UTF-8 ("C:\\Apps\\viewer.exe").
  void AddFile(std::string_view path, DWORD attributes = kFileAttributeArchive);
  void AddFolder(std::string_view path);
  // A short (8.3) path by which an existing file can be reached, and a
  // wildcard search can find it, too.
  void AddShortName(std::string_view shortPath, std::string_view longPath);
  void SetWindowsDirectory(std::string path) { windowsDir_ = std::move(path); }
  // Folders SearchPathA looks in, in order.
  void SetSearchPath(std::vector<std::string> folders) { searchPath_ = std::move(folders); }
  // The folder GetFullPathNameW makes relative paths full against (a full path).
  void SetCurrentDirectory(std::string folder) { currentDirectory_ = std::move(folder); }
  size_t OpenSearchCount() const { return searches_.size(); }
  bool Exists(std::string_view path) const;

  Handle FindFirstFileW(const char16_t* pattern, FindDataW* data) override;
  BOOL FindNextFileW(Handle search, FindDataW* data) override;
  BOOL FindClose(Handle search) override;
  DWORD GetFileAttributesA(const char* path) override;
  DWORD GetFileAttributesW(const char16_t* path) override;
  DWORD GetFullPathNameW(const char16_t* fileName, DWORD bufferLength, char16_t* buffer) override;
  DWORD SearchPathA(const char* path, const char* fileName, const char* extension,
                    DWORD bufferLength, char* buffer) override;
  UINT GetWindowsDirectoryA(char* buffer, UINT size) override;

 private:
  struct Entry {
    std::string path;  // as stored
    DWORD attributes;
  };
  struct Search {
    std::vector<Entry> matches;
    size_t next = 0;
  };

  void Put(Entry entry);
  Entry* FindEntry(std::string_view path);
  const Entry* Find(std::string_view path) const;
  std::string ShortNameOf(const Entry& entry) const;
  static void Fill(const Entry& entry, FindDataW* data);

  std::vector<Entry> entries_;  // in directory order
  std::map<std::u16string, std::u16string> shortNames_;  // folded short -> folded long
  std::map<Handle, Search> searches_;
  std::vector<std::string> searchPath_;
  std::string windowsDir_ = "C:\\WINDOWS";
  std::string currentDirectory_ = "C:\\";
  std::uintptr_t nextHandle_ = 0x5000;
};

}  // namespace tavrel::fakes
