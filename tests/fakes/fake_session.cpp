#include "fakes/fake_session.h"

namespace tavrel::fakes {

bool FakeSession::TryTakeInstanceLock() {
  guardSteps.push_back("lock");
  return !lockHeldByAnotherCopy;
}

int FakeSession::MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                             UINT style) {
  boxes.push_back(MessageBoxShown{owner, std::string(text), std::string(caption), style});
  return 1;  // IDOK
}

BOOL FakeSession::EnableEUDC(BOOL enable) {
  eudcReloads.push_back(enable);
  if (onEnableEudc) onEnableEudc(enable);
  return 1;
}

}  // namespace tavrel::fakes
