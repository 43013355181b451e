// What a screen reader learns of a file box, through WM_GETOBJECT: the
// system's own accessible object of the box's window, with the box's name
// (the caption above it), its value (the path it shows, or its prompt), its
// description (its tooltip) and the role of a button that opens a dialog.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

#include "base/win32/com.h"

namespace tavrel {

struct BoxAccessibleTexts {
  std::wstring name, value, description;
};

// The answer to WM_GETOBJECT for OBJID_CLIENT of `box` (`wParam` as the
// message gave it); 0 when the object cannot be made, and the system's own
// answers the message.
LRESULT AnswerBoxObject(HWND box, WPARAM wParam, BoxAccessibleTexts texts);

}  // namespace tavrel
