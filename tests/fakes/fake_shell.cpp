#include "fakes/fake_shell.h"

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

std::string Text(const char16_t* s) { return s ? Utf16ToUtf8(s) : std::string(); }

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && EqualIgnoringCase(s.substr(s.size() - tail.size()), tail);
}

}  // namespace

void FakeShell::SetIconCount(const std::string& path, int count) {
  iconCounts_[UpperCase(Utf8ToUtf16(path))] = count;
}

BOOL FakeShell::ShellExecuteExW(ShellExecuteInfoW* info) {
  // Windows refuses a record whose size is not its own.
  if (info->cbSize != sizeof(ShellExecuteInfoW)) {
    lastError_ = kErrorInvalidParameter;
    return 0;
  }
  const std::string file = Text(info->lpFile);
  calls.push_back(Call{info->cbSize, info->fMask, info->hwnd, Text(info->lpVerb), file,
                       Text(info->lpParameters), Text(info->lpDirectory), info->lpFile == nullptr,
                       info->lpParameters == nullptr, info->lpDirectory == nullptr, info->nShow});
  info->hProcess = nullptr;
  if (failShellExecute) {
    lastError_ = shellExecuteError;
    return 0;
  }
  if (file.starts_with("http:") || file.starts_with("https:")) return 1;
  if (!files_.Exists(file)) {
    lastError_ = kErrorFileNotFound;
    return 0;
  }
  const bool isProgram = EndsWithNoCase(file, ".exe") &&
                         !(files_.AttributesOf(file) & kFileAttributeDirectory);
  if (!isProgram) return 1;  // a folder or document, shown by a program already running
  const Handle process = processes_.Spawn(file, file + " " + Text(info->lpParameters));
  if (info->fMask & kSeeMaskNoCloseProcess) {
    info->hProcess = process;
  } else {
    processes_.CloseHandle(process);
  }
  return 1;
}

Hicon FakeShell::ExtractIconW(Hinstance, const char16_t* exeFileName, UINT iconIndex) {
  const auto it = iconCounts_.find(UpperCase(Utf8ToUtf16(Text(exeFileName))));
  const int count = it == iconCounts_.end() ? 0 : it->second;
  if (iconIndex == static_cast<UINT>(-1)) {
    return reinterpret_cast<Hicon>(static_cast<std::intptr_t>(count));
  }
  if (static_cast<int>(iconIndex) >= count) return nullptr;
  const auto icon = reinterpret_cast<Hicon>(nextIcon_);
  nextIcon_ += 0x10;
  liveIcons_.insert(icon);
  return icon;
}

BOOL FakeShell::DestroyIcon(Hicon icon) { return liveIcons_.erase(icon) ? 1 : 0; }

}  // namespace tavrel::fakes
