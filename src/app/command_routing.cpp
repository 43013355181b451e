#include "app/command_routing.h"

namespace tavrel {

bool IsClick(ControlKind kind, int code) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      return code == kBnClicked;
    case ControlKind::PictureButton:
      return code == kBnClicked || code == kBnDoubleClicked;
    case ControlKind::Label:
      return code == kStnClicked || code == kStnDblClk;
    case ControlKind::Frame:
    case ControlKind::Picture:
      return false;
  }
  return false;
}

bool RouteCommand(frmMain& form, Control c, int code) {
  if (!IsClick(LayoutOf(c).kind, code)) return false;
  switch (c) {
    case Control::cmdExecSoft: form.cmdExecSoft_Click(); return true;
    case Control::cmdEnd: form.cmdEnd_Click(); return true;
    case Control::Command1_0: form.Command1_Click(0); return true;
    case Control::Command1_1: form.Command1_Click(1); return true;
    default: break;
  }
  const int index = Label1Index(c);
  if (index < 0) return false;  // the Label3 captions and chkExit have no click handler
  form.Label1_Click(static_cast<std::int16_t>(index));
  return true;
}

}  // namespace tavrel
