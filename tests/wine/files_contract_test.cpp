#include <windows.h>

#include "files/win32/files_win32.h"
#include "suites/files_suite.h"
#include "wine/scratch_folder.h"

namespace tavrel::testing {

class Win32FilesBackend {
 public:
  Win32FilesBackend() = default;
  // The current folder back first: a current folder cannot be removed.
  ~Win32FilesBackend() {
    if (!previous_.empty()) SetCurrentDirectoryW(previous_.c_str());
  }
  IFiles& seam() { return files_; }

  std::u16string Root() { return Utf16Of(folder_.WidePath()); }
  void MakeFile(const std::string& name, FileKind kind, const std::vector<std::uint8_t>& content) {
    constexpr DWORD kAttributes[] = {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY,
                                     FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM};
    folder_.MakeFile(name, kAttributes[static_cast<int>(kind)], content);
  }
  void MakeFolder(const std::string& name) { folder_.MakeFolder(name); }
  void SetCurrentFolder(const std::u16string& folder) {
    previous_.assign(MAX_PATH + 1, L'\0');
    previous_.resize(GetCurrentDirectoryW(MAX_PATH + 1, previous_.data()));
    ASSERT_TRUE(SetCurrentDirectoryW(WideOf(folder).c_str()));
  }

 private:
  ScratchFolder folder_;
  Win32Files files_;
  std::wstring previous_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FilesContract, Win32FilesBackend);

}  // namespace tavrel::testing
