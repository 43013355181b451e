#include "shell/open_dialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <vector>

#include "base/win32/com.h"
#include "base/win32/wide.h"

namespace tavrel {
namespace {

// The first of the folders that the shell can open as an item, if any.
UniqueCom<IShellItem> FirstFolder(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    void* item = nullptr;
    if (SUCCEEDED(SHCreateItemFromParsingName(Wide(folder).c_str(), nullptr, IID_IShellItem, &item))) {
      return Adopt<IShellItem>(item);
    }
  }
  return nullptr;
}

// The common item dialog. S_OK with the path, S_FALSE when the user
// cancelled, an error when the dialog could not be made or shown.
HRESULT ChooseWithItemDialog(HWND owner, const std::wstring& filterName, const std::wstring& patterns,
                             const std::vector<std::string>& folders, std::wstring& path) {
  void* made = nullptr;
  HRESULT result = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog, &made);
  if (FAILED(result)) return result;
  const UniqueCom<IFileOpenDialog> dialog = Adopt<IFileOpenDialog>(made);
  const COMDLG_FILTERSPEC filter{filterName.c_str(), patterns.c_str()};
  // FOS_NODEREFERENCELINKS: a shortcut is the file chosen, not its target.
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(result = dialog->GetOptions(&options)) ||
      FAILED(result = dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST |
                                         FOS_PATHMUSTEXIST | FOS_NODEREFERENCELINKS)) ||
      FAILED(result = dialog->SetFileTypes(1, &filter))) {
    return result;
  }
  // SetFolder, unlike SetDefaultFolder, overrides the folder the dialog
  // remembers from its last use; a folder it cannot take leaves that one.
  if (const UniqueCom<IShellItem> folder = FirstFolder(folders)) dialog->SetFolder(folder.get());
  result = dialog->Show(owner);
  if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return S_FALSE;
  if (FAILED(result)) return result;
  void* chosen = nullptr;
  if (FAILED(result = dialog->GetResult(reinterpret_cast<IShellItem**>(&chosen)))) return result;
  const UniqueCom<IShellItem> item = Adopt<IShellItem>(chosen);
  PWSTR name = nullptr;
  if (FAILED(result = item->GetDisplayName(SIGDN_FILESYSPATH, &name))) return result;
  const UniqueCoTaskMemory<wchar_t> owned(name);
  path = name;
  return S_OK;
}

// The classic dialog: true with the path or none when the user cancelled,
// false with the dialog's error code.
bool ChooseWithClassicDialog(HWND owner, const std::wstring& filterName, const std::wstring& patterns,
                             const std::vector<std::string>& folders, std::wstring& path, DWORD& error) {
  // The filter is pairs of texts, each ending in a null, and one more null.
  std::wstring filter = filterName + L'\0' + patterns + L'\0';
  const std::wstring start = folders.empty() ? std::wstring() : Wide(folders.front());
  std::vector<wchar_t> chosen(32768, L'\0');  // the longest path the wide calls take
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS |
                 OFN_DONTADDTORECENT;
  if (GetOpenFileNameW(&dialog)) {
    path = chosen.data();
    return true;
  }
  error = CommDlgExtendedError();  // 0: cancelled
  return error == 0;
}

}  // namespace

OpenDialogResult ChooseFileToOpen(HWND owner, const FileChoice& choice, const Texts& texts) {
  // OLE is usually on already (the drop targets): this only counts one more
  // start, and one more end.
  const ComScope com;
  const std::wstring filterName = Wide(texts.Get(choice.filterName));
  const std::wstring patterns = Wide(choice.patterns);
  std::wstring path;
  OpenDialogResult result;
  const HRESULT item = ChooseWithItemDialog(owner, filterName, patterns, choice.folders, path);
  if (FAILED(item)) {
    DWORD error = ERROR_SUCCESS;
    if (!ChooseWithClassicDialog(owner, filterName, patterns, choice.folders, path, error)) {
      result.error = error;
      return result;
    }
  }
  result.path = Narrow(path);
  return result;
}

std::string OwnPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return Narrow(std::wstring(path.data(), length));
    path.resize(path.size() * 2);  // truncated: Windows answers the buffer's size
  }
}

}  // namespace tavrel
