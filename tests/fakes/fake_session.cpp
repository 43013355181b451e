#include "fakes/fake_session.h"

#include <stdexcept>

namespace tavrel::fakes {

bool FakeSession::TryTakeInstanceLock() {
  guardSteps.push_back("lock");
  return !lockHeldByAnotherCopy;
}

int FakeSession::MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                             UINT style) {
  boxes.push_back(MessageBoxShown{owner, std::string(text), std::string(caption), style});
  if ((style & 0xF) == kMbOk && answers.empty()) return kIdOk;
  if (answers.empty()) throw std::logic_error("unexpected message box: " + std::string(text));
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakeSession::FormatMessageW(DWORD error) {
  static const std::map<DWORD, std::string> kTexts = {
      {2, "指定されたファイルが見つかりません。"},
      {3, "指定されたパスが見つかりません。"},
      {5, "アクセスが拒否されました。"},
      {234, "データがさらにあります。"},
      {1117, "I/O デバイス エラーが発生したため、要求を実行できませんでした。"},
  };
  const auto it = kTexts.find(error);
  return it == kTexts.end() ? std::string() : it->second;
}

BOOL FakeSession::EnableEUDC(BOOL enable) {
  eudcReloads.push_back(enable);
  if (onEnableEudc) onEnableEudc(enable);
  return 1;
}

}  // namespace tavrel::fakes
