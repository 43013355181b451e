// The system's Open dialog for one file: the common item dialog, or where
// that cannot be made, the classic one.
#pragma once

#include <windows.h>

#include <string>

#include "window/file_choice.h"

namespace tavrel {

struct OpenDialogResult {
  std::string path;             // the chosen file, UTF-8; empty: none chosen
  DWORD error = ERROR_SUCCESS;  // why neither dialog could be shown (an HRESULT or a dialog error)
};

// Shows the dialog owned by `owner`, modal, listing `choice`'s files with
// the filter's name in `texts`' language, and waits for the user's choice.
OpenDialogResult ChooseFileToOpen(HWND owner, const FileChoice& choice, const Texts& texts);

// Tavrel's own full path, UTF-8.
std::string OwnPath();

}  // namespace tavrel
