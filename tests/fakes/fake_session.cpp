#include "fakes/fake_session.h"

#include <stdexcept>

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The program's name: up to the closing quote when it begins with one (the
// next argument then starts right after it), else up to the first blank.
// Quotes and backslashes mean nothing else here.
size_t ReadProgramName(std::u16string_view line, std::u16string& name) {
  size_t i = 0;
  if (!line.empty() && line[0] == u'"') {
    const size_t close = line.find(u'"', 1);
    name = line.substr(1, close == std::u16string_view::npos ? close : close - 1);
    return close == std::u16string_view::npos ? line.size() : close + 1;
  }
  while (i < line.size() && !IsBlank(line[i])) name += line[i++];
  return i;
}

// One argument after the program's name. 2n backslashes before a quote
// give n and the quote opens or closes a quoted part; 2n+1 give n and a
// literal quote; other backslashes are themselves. Inside a quoted part, two
// quotes give one literal quote and close the part.
size_t ReadArgument(std::u16string_view line, size_t i, std::u16string& argument) {
  bool quoted = false;
  while (i < line.size() && (quoted || !IsBlank(line[i]))) {
    size_t backslashes = 0;
    while (i < line.size() && line[i] == u'\\') ++backslashes, ++i;
    if (i < line.size() && line[i] == u'"') {
      argument.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 1) {
        argument += u'"';
      } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
        argument += u'"';
        quoted = false;
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
    } else {
      argument.append(backslashes, u'\\');
      if (i < line.size() && (quoted || !IsBlank(line[i]))) argument += line[i++];
    }
  }
  return i;
}

}  // namespace

std::u16string FakeSession::GetCommandLineW() {
  return Utf8ToUtf16(commandLine.empty() ? "\"" + modulePath + "\"" : commandLine);
}

// Windows' rules for CommandLineToArgvW, checked against the real call by the
// command-line suite.
std::vector<std::u16string> FakeSession::CommandLineToArgvW(std::u16string_view line) {
  if (line.empty()) return {Utf8ToUtf16(modulePath)};
  std::vector<std::u16string> arguments(1);
  size_t i = ReadProgramName(line, arguments[0]);
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return arguments;
    i = ReadArgument(line, i, arguments.emplace_back());
  }
}

bool FakeSession::TryTakeInstanceLock() {
  guardSteps.push_back("lock");
  return !lockHeldByAnotherCopy;
}

int FakeSession::MessageBoxW(Hwnd owner, std::string_view text, std::string_view caption,
                             UINT style) {
  boxes.push_back(MessageBoxShown{owner, std::string(text), std::string(caption), style});
  if (whileBoxIsShown) whileBoxIsShown();
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
