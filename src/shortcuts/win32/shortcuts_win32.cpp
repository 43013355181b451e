#include "shortcuts/win32/shortcuts_win32.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "base/win32/com.h"
#include "base/win32/wide.h"

namespace tavrel {
namespace {

// Defined here, not taken from libuuid, which would bring its whole table of
// ids into the executable. (IShellLinkW and IPersistFile have __uuidof.)
constexpr KNOWNFOLDERID kDesktopFolderId = {
    0xB4BFCC3A, 0xDB2C, 0x424C, {0xB0, 0x29, 0x7F, 0xE9, 0x9A, 0x87, 0xC6, 0x41}};
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// An HRESULT as the seams report errors: the system error code it wraps,
// whose text the user can read, or else the HRESULT itself.
ErrorCode ErrorOf(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return static_cast<ErrorCode>(HRESULT_CODE(result));
  return static_cast<ErrorCode>(result);
}

// Sets every property of the shortcut on the link; the first failure.
[[nodiscard]] HRESULT Describe(IShellLinkW& link, const Shortcut& shortcut) {
  HRESULT result = link.SetPath(WideOf(shortcut.target).c_str());
  if (SUCCEEDED(result)) result = link.SetArguments(WideOf(shortcut.arguments).c_str());
  if (SUCCEEDED(result)) result = link.SetWorkingDirectory(WideOf(shortcut.workingFolder).c_str());
  if (SUCCEEDED(result)) result = link.SetIconLocation(WideOf(shortcut.iconFile).c_str(), shortcut.iconIndex);
  return result;
}

// A new shell link object, with the file interface it is saved and loaded by.
struct LinkObject {
  UniqueCom<IShellLinkW> link;
  UniqueCom<IPersistFile> persist;
};

[[nodiscard]] HRESULT CreateLink(LinkObject& made) {
  void* object = nullptr;
  HRESULT result =
      CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW), &object);
  if (FAILED(result)) return result;
  made.link = Adopt<IShellLinkW>(object);
  if (result = made.link->QueryInterface(__uuidof(IPersistFile), &object); FAILED(result)) return result;
  made.persist = Adopt<IPersistFile>(object);
  return S_OK;
}

[[nodiscard]] HRESULT Save(std::u16string_view file, const Shortcut& shortcut) {
  LinkObject made;
  HRESULT result = CreateLink(made);
  if (FAILED(result)) return result;
  if (result = Describe(*made.link, shortcut); FAILED(result)) return result;
  // TRUE: the file becomes the link's own, as when the shell saves one.
  return made.persist->Save(WideOf(file).c_str(), TRUE);
}

// Paths, arguments and folders of a link on Windows 10 may be longer than
// MAX_PATH; a buffer this size holds any of them.
constexpr int kLongestLinkText = 32768;

// One text of the link through a getter that fills a buffer; empty when it
// fails or holds none (S_FALSE).
template <typename Getter>
std::u16string LinkText(Getter get) {
  std::wstring text(kLongestLinkText, L'\0');
  if (get(text.data(), kLongestLinkText) != S_OK) return {};
  return Utf16Of(text.c_str());
}

// The working folder as the shell uses it: a link may hold it with
// environment variables ("%USERPROFILE%\Games").
std::u16string Expanded(const std::u16string& text) {
  if (text.find(u'%') == std::u16string::npos) return text;
  std::wstring expanded(kLongestLinkText, L'\0');
  const DWORD length = ExpandEnvironmentStringsW(WideOf(text).c_str(), expanded.data(), kLongestLinkText);
  return length == 0 || length > kLongestLinkText ? text : Utf16Of(expanded.c_str());
}

[[nodiscard]] HRESULT Load(std::u16string_view file, LinkReading& reading) {
  LinkObject made;
  HRESULT result = CreateLink(made);
  if (FAILED(result)) return result;
  if (result = made.persist->Load(WideOf(file).c_str(), STGM_READ); FAILED(result)) return result;
  // Finds a target that was moved or renamed, as Explorer does before it
  // starts one; without a window, within a second (the high word), and
  // without rewriting the user's file. A link that cannot be resolved keeps
  // the path it holds, which the caller then finds missing.
  constexpr DWORD kResolveMilliseconds = 1000;
  (void)made.link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE | (kResolveMilliseconds << 16));
  IShellLinkW& link = *made.link;
  // GetPath without SLGP_RAWPATH gives the path with its variables expanded;
  // S_FALSE and an empty path for a link to no file.
  reading.target = LinkText([&](LPWSTR text, int size) { return link.GetPath(text, size, nullptr, 0); });
  reading.arguments = LinkText([&](LPWSTR text, int size) { return link.GetArguments(text, size); });
  reading.workingFolder =
      Expanded(LinkText([&](LPWSTR text, int size) { return link.GetWorkingDirectory(text, size); }));
  return S_OK;
}

}  // namespace

FolderPath Win32Shortcuts::DesktopFolder() {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(kDesktopFolderId, KF_FLAG_DEFAULT, nullptr, &path);
  // Freed whether the call succeeded or not, as its documentation asks.
  const UniqueCoTaskMemory<wchar_t> owned(path);
  if (FAILED(result)) return FolderPath{{}, ErrorOf(result)};
  return FolderPath{Utf16Of(path), kSuccess};
}

ErrorCode Win32Shortcuts::Write(std::u16string_view file, const Shortcut& shortcut) {
  const ComScope com;  // declared first: the link's references go before it ends
  if (FAILED(com.Result())) return ErrorOf(com.Result());
  const HRESULT result = Save(file, shortcut);
  return FAILED(result) ? ErrorOf(result) : kSuccess;
}

LinkReading Win32Shortcuts::Read(std::u16string_view file) {
  const ComScope com;  // declared first: the link's references go before it ends
  if (FAILED(com.Result())) return LinkReading{{}, {}, {}, ErrorOf(com.Result())};
  LinkReading reading;
  if (const HRESULT result = Load(file, reading); FAILED(result)) return LinkReading{{}, {}, {}, ErrorOf(result)};
  return reading;
}

}  // namespace tavrel
