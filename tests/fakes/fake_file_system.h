// An in-memory file system that answers like kernel32: names compared without
// regard to case but reported as stored, attributes and contents per entry,
// wildcard search over one folder in directory order (the order of adding)
// that matches short names too, SearchPath over a list of folders that finds
// folders too, full paths made against a current folder, and the error codes
// Windows sets when a call fails.
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
  void AddFile(std::string_view path, DWORD attributes = kFileAttributeArchive,
               std::vector<BYTE> content = {});
  // A file beginning as TrueType fonts do.
  void AddFont(std::string_view path);
  void AddFolder(std::string_view path);
  void Remove(std::string_view path);
  // A short (8.3) path by which an existing file can be reached, and a
  // wildcard search can find it, too.
  void AddShortName(std::string_view shortPath, std::string_view longPath);
  void SetWindowsDirectory(std::string path) { windowsDir_ = std::move(path); }
  // Folders SearchPathW looks in, in order.
  void SetSearchPath(std::vector<std::string> folders) { searchPath_ = std::move(folders); }
  // The folder GetFullPathNameW makes relative paths full against (a full path).
  void SetCurrentDirectory(std::string folder) { currentDirectory_ = std::move(folder); }
  // The file call numbered `callIndex` (from 0; FindNextFileW, FindClose and
  // CloseHandle not counted) fails with `error`.
  void InjectFault(size_t callIndex, DWORD error) { faults_[callIndex] = error; }
  void ClearFaults() { faults_.clear(); }
  size_t CallCount() const { return calls_; }
  size_t OpenSearchCount() const { return searches_.size(); }
  size_t OpenFileCount() const { return openFiles_.size(); }
  bool Exists(std::string_view path) const;
  // For the other fakes: attributes without counting a call of Tavrel's.
  DWORD AttributesOf(std::string_view path) const;

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

 private:
  struct Entry {
    std::string path;  // as stored
    DWORD attributes;
    std::vector<BYTE> content;
  };
  struct OpenFile {
    std::vector<BYTE> content;
    size_t position = 0;
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
  // Sets the error a failing call leaves; returns `result`.
  template <typename T>
  T Fail(T result, DWORD error) {
    lastError_ = error;
    return result;
  }
  // Counts the call; the injected error for it, or 0.
  DWORD Enter();
  // ERROR_PATH_NOT_FOUND when the folder is missing too, as Windows tells them apart.
  DWORD MissingError(std::string_view path) const;

  std::vector<Entry> entries_;  // in directory order
  std::map<std::u16string, std::u16string> shortNames_;  // folded short -> folded long
  std::map<Handle, Search> searches_;
  std::map<Handle, OpenFile> openFiles_;
  DWORD lastError_ = 0;
  std::map<size_t, DWORD> faults_;
  size_t calls_ = 0;
  std::vector<std::string> searchPath_;
  std::string windowsDir_ = "C:\\WINDOWS";
  std::string currentDirectory_ = "C:\\";
  std::uintptr_t nextHandle_ = 0x5000;
};

}  // namespace tavrel::fakes
