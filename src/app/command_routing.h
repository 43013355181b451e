// Which of frmMain's handlers a control's WM_COMMAND notification runs. The
// Win32 window hands every notification of its controls here, so the choice
// is made (and tested) in one portable place.
#pragma once

#include "app/frm_main.h"
#include "app/layout.h"

namespace tavrel {

// Whether notification `code` from a control of this kind is a click. A quick
// second click on a label or a picture button arrives as a double click: it is
// a click of its own.
bool IsClick(ControlKind kind, int code);

// Runs the handler of control `c` for notification `code`; false when the
// notification means nothing to the form.
bool RouteCommand(frmMain& form, Control c, int code);

}  // namespace tavrel
