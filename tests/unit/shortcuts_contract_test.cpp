#include "fakes/fakes.h"
#include "suites/shortcuts_suite.h"

namespace tavrel::testing {

struct FakeShortcutsBackend {
  fakes::FakeFiles fake;
  fakes::FakeShortcuts shortcuts{fake};
  FakeShortcutsBackend() { fake.AddFolder("C:\\Scratch"); }
  IShortcuts& seam() { return shortcuts; }
  IFiles& files() { return fake; }
  std::u16string Root() { return u"C:\\Scratch"; }
  void MakeFile(const std::string& name) { fake.Add("C:\\Scratch\\" + name); }
  void MakeFolder(const std::string& name) { fake.AddFolder("C:\\Scratch\\" + name); }
  std::optional<Shortcut> ReadBack(const std::u16string& file) {
    const auto found = shortcuts.written.find(file);
    return found == shortcuts.written.end() ? std::nullopt : std::optional(found->second);
  }
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ShortcutsContract, FakeShortcutsBackend);

}  // namespace tavrel::testing
