#include "launch/cexecute.h"

#include "launch/process_wait.h"
#include "platform/text.h"

namespace tavrel {
namespace {

constexpr DWORD kSearchBufferLength = 261;
// Positions in the command line are 16-bit, and the split forms the position
// after a space: longer command lines are not split.
constexpr size_t kLongestSplitLine = 32766;

std::u16string Quoted(std::u16string_view path) { return u"\"" + std::u16string(path) + u"\""; }

}  // namespace

bool cExecute::NamesExistingFile(std::u16string_view path) {
  const DWORD attributes = files_.GetFileAttributesW(std::u16string(path).c_str());
  return attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory);
}

bool cExecute::FindOnSearchPath(std::u16string_view strFile, std::u16string* found,
                                const char16_t* extension) {
  const std::u16string name(strFile);
  std::u16string buffer(kSearchBufferLength, u'\0');
  DWORD length = files_.SearchPathW(nullptr, name.c_str(), extension,
                                    static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    // The path is longer than the buffer: the result is the length it needs.
    buffer.assign(length, u'\0');
    length = files_.SearchPathW(nullptr, name.c_str(), extension,
                                static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) return false;
  }
  if (length == 0) return false;
  buffer.resize(length);
  // The search finds folders as well; only a file can be opened as a program.
  if (!NamesExistingFile(buffer)) return false;
  if (found) *found = buffer;
  return true;
}

cExecute::Split cExecute::SplitCommandLine(std::u16string_view commandLine) {
  Split split{std::u16string(commandLine), {}, {}};
  // A registered program is a full path, possibly with spaces: a whole line
  // that names a file is opened as it is.
  if (NamesExistingFile(commandLine)) return split;
  if (commandLine.size() > kLongestSplitLine) return split;
  // The shortest prefix ending before a space that the search finds; quotes
  // are ordinary characters here.
  for (size_t space = commandLine.find(u' '); space != std::u16string_view::npos && space > 0;
       space = commandLine.find(u' ', space + 1)) {
    std::u16string found;
    if (FindOnSearchPath(commandLine.substr(0, space), &found)) {
      return Split{std::u16string(commandLine.substr(0, space)),
                   std::u16string(commandLine.substr(space + 1)), found};
    }
  }
  return split;
}

bool cExecute::ShellX(std::string_view strCommandLine, int WindowStyle, Hwnd lngOwnerhWnd,
                      bool blnWait) {
  started_ = false;
  lastError_ = 0;
  const std::u16string commandLine = Utf8ToUtf16(strCommandLine);
  const Split split = SplitCommandLine(commandLine);

  ShellExecuteInfoW info{};
  info.cbSize = sizeof info;
  info.fMask = kSeeMaskFlagNoUi | (blnWait ? kSeeMaskNoCloseProcess : 0);
  info.hwnd = lngOwnerhWnd;
  info.lpVerb = u"open";
  info.lpFile = split.file.c_str();
  info.lpParameters = split.parameters.c_str();
  info.lpDirectory = u"";
  info.nShow = WindowStyle;
  if (shell_.ShellExecuteExW(&info)) {
    started_ = true;
    UniqueKernelHandle process(info.hProcess, KernelHandleTraits{&processes_});
    // Served without a new process (a document handed to a running program):
    // there is nothing to wait for.
    if (!blnWait || !process) return true;
    return Wait(process.get());
  }
  lastError_ = shell_.GetLastError();
  return StartDirectly(commandLine, split, WindowStyle, blnWait);
}

bool cExecute::StartDirectly(std::u16string_view commandLine, const Split& split,
                             int showCommand, bool blnWait) {
  // The program is always named explicitly: started from a bare command line,
  // "C:\My Tools\app.exe" would run C:\My.exe when that exists.
  std::u16string program;
  std::u16string arguments;
  if (!split.found.empty()) {
    program = split.found;
    arguments = split.parameters;
  } else if (NamesExistingFile(commandLine)) {
    program = std::u16string(commandLine);
  } else if (commandLine.starts_with(u'"') &&
             commandLine.find(u'"', 1) != std::u16string_view::npos) {
    const size_t close = commandLine.find(u'"', 1);
    if (!FindOnSearchPath(commandLine.substr(1, close - 1), &program, u".exe")) return false;
    arguments = std::u16string(commandLine.substr(close + 1));
    if (arguments.starts_with(u' ')) arguments.erase(0, 1);
  } else if (commandLine.find(u' ') == std::u16string_view::npos) {
    if (!FindOnSearchPath(commandLine, &program, u".exe")) return false;
  } else {
    return false;  // which program an unquoted line with spaces means is unknown
  }

  std::u16string line = Quoted(program) + (arguments.empty() ? u"" : u" " + arguments);
  ProcessInformation started;
  if (!processes_.CreateProcessW(program.c_str(), line.data(), showCommand, &started)) {
    lastError_ = processes_.GetLastError();
    return false;
  }
  started_ = true;
  lastError_ = 0;
  UniqueKernelHandle process(started.hProcess, KernelHandleTraits{&processes_});
  return !blnWait || Wait(process.get());
}

bool cExecute::Wait(Handle process) {
  if (onStarted_) onStarted_(process);
  return WaitForProcessEnd(processes_, events_, process);
}

}  // namespace tavrel
