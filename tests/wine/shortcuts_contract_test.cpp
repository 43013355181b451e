// The shortcuts seam against a real scratch folder, read back through the
// shell's own link object; and its use of COM on the calling thread.
#include <windows.h>
#include <shobjidl.h>

#include "base/win32/com.h"
#include "files/win32/files_win32.h"
#include "shortcuts/win32/shortcuts_win32.h"
#include "suites/shortcuts_suite.h"
#include "wine/scratch_folder.h"

namespace tavrel::testing {
namespace {

constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// COM in this thread's apartment as it is, for as long as the scope lives.
class ComOnThread {
 public:
  explicit ComOnThread(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  ~ComOnThread() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

std::u16string Read(HRESULT (STDMETHODCALLTYPE IShellLinkW::*get)(LPWSTR, int), IShellLinkW& link) {
  wchar_t text[1024] = {};
  return SUCCEEDED((link.*get)(text, 1024)) ? Utf16Of(text) : u"<failed>";
}

}  // namespace

class Win32ShortcutsBackend {
 public:
  IShortcuts& seam() { return shortcuts_; }
  IFiles& files() { return files_; }
  std::u16string Root() { return Utf16Of(folder_.WidePath()); }
  void MakeFile(const std::string& name) { folder_.MakeFile(name, FILE_ATTRIBUTE_NORMAL); }
  void MakeFolder(const std::string& name) { folder_.MakeFolder(name); }

  std::optional<Shortcut> ReadBack(const std::u16string& file) {
    const ComOnThread com(COINIT_APARTMENTTHREADED);
    void* object = nullptr;
    if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW), &object))) {
      return std::nullopt;
    }
    const UniqueCom<IShellLinkW> link = Adopt<IShellLinkW>(object);
    if (FAILED(link->QueryInterface(__uuidof(IPersistFile), &object))) return std::nullopt;
    const UniqueCom<IPersistFile> persist = Adopt<IPersistFile>(object);
    if (FAILED(persist->Load(WideOf(file).c_str(), STGM_READ))) return std::nullopt;
    Shortcut read;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) return std::nullopt;
    read.target = Utf16Of(target);
    read.arguments = Read(&IShellLinkW::GetArguments, *link);
    read.workingFolder = Read(&IShellLinkW::GetWorkingDirectory, *link);
    wchar_t icon[MAX_PATH] = {};
    if (FAILED(link->GetIconLocation(icon, MAX_PATH, &read.iconIndex))) return std::nullopt;
    read.iconFile = Utf16Of(icon);
    return read;
  }

 private:
  ScratchFolder folder_;
  Win32Files files_;
  Win32Shortcuts shortcuts_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ShortcutsContract, Win32ShortcutsBackend);

// The window's thread has OLE on; a thread of another caller may have none,
// or a multithreaded apartment. Each leaves the thread as it found it: with
// none, a first initialisation afterwards is the first again (S_OK).
TEST(Win32Shortcuts, WritesWhateverCOMTheThreadHasAndLeavesItSo) {
  for (const DWORD model : {DWORD{0xFFFF}, DWORD{COINIT_APARTMENTTHREADED}, DWORD{COINIT_MULTITHREADED}}) {
    SCOPED_TRACE(model);
    ScratchFolder folder;
    const std::u16string file = Utf16Of(folder.WidePath()) + u"\\a.lnk";
    const Shortcut shortcut{u"C:\\windows\\notepad.exe", u"/a", u"C:\\windows", u"C:\\windows\\notepad.exe", 0};
    {
      std::optional<ComOnThread> com;
      if (model != 0xFFFF) com.emplace(model);
      EXPECT_EQ(Win32Shortcuts().Write(file, shortcut), kSuccess);
    }
    const ComOnThread after(COINIT_APARTMENTTHREADED);
    EXPECT_EQ(after.Result(), S_OK);
  }
}

}  // namespace tavrel::testing
