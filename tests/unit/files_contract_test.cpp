#include "fakes/fakes.h"
#include "suites/files_suite.h"

namespace tavrel::testing {

struct FakeFilesBackend {
  fakes::FakeFiles fake;
  IFiles& seam() { return fake; }
  std::u16string Root() { return u"C:\\Scratch"; }
  void MakeFile(const std::string& name, FileKind kind, std::vector<std::uint8_t> content) {
    fake.Add("C:\\Scratch\\" + name, std::move(content),
             kind == FileKind::Normal || kind == FileKind::ReadOnly);
  }
  void MakeFolder(const std::string& name) { fake.AddFolder("C:\\Scratch\\" + name); }
  void SetCurrentFolder(const std::u16string& folder) { fake.currentFolder = Utf16ToUtf8(folder); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FilesContract, FakeFilesBackend);

}  // namespace tavrel::testing
