#include "launch/cexecute.h"

#include <vector>

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr DWORD kSearchBufferSize = 261;
// Positions in the command line are 16-bit, and the split forms the position
// after a space: longer command lines are not split.
constexpr size_t kLongestSplitLine = 32766;

std::string Quoted(std::string_view path) { return "\"" + std::string(path) + "\""; }

}  // namespace

bool cExecute::NamesExistingFile(std::string_view path) {
  const DWORD attributes = files_.GetFileAttributesA(Utf8ToAnsi(path).c_str());
  return attributes != kInvalidFileAttributes && !(attributes & kFileAttributeDirectory);
}

bool cExecute::FindOnSearchPath(std::string_view strFile, std::string* found,
                                const char* extension) {
  const std::string name = Utf8ToAnsi(strFile);
  std::vector<char> buffer(kSearchBufferSize, '\0');
  DWORD length = files_.SearchPathA(nullptr, name.c_str(), extension,
                                    static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    // The path is longer than the buffer: the result is the size it needs.
    buffer.assign(length, '\0');
    length = files_.SearchPathA(nullptr, name.c_str(), extension,
                                static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) return false;
  }
  if (length == 0) return false;
  const std::string path = AnsiToUtf8(std::string_view(buffer.data(), length));
  // The search finds folders as well; only a file can be opened as a program.
  if (!NamesExistingFile(path)) return false;
  if (found) *found = path;
  return true;
}

cExecute::Split cExecute::SplitCommandLine(std::string_view commandLine) {
  Split split{std::string(commandLine), {}, {}};
  // A registered program is a full path, possibly with spaces: a whole line
  // that names a file is opened as it is.
  if (NamesExistingFile(commandLine)) return split;
  if (Utf8ToUtf16(commandLine).size() > kLongestSplitLine) return split;
  // The shortest prefix ending before a space that the search finds; quotes
  // are ordinary characters here.
  for (size_t space = commandLine.find(' '); space != std::string_view::npos && space > 0;
       space = commandLine.find(' ', space + 1)) {
    std::string found;
    if (FindOnSearchPath(commandLine.substr(0, space), &found)) {
      return Split{std::string(commandLine.substr(0, space)),
                   std::string(commandLine.substr(space + 1)), found};
    }
  }
  return split;
}

bool cExecute::ShellX(std::string_view strCommandLine, int WindowStyle, Hwnd lngOwnerhWnd,
                      bool blnWait) {
  const Split split = SplitCommandLine(strCommandLine);
  const std::string file = Utf8ToAnsi(split.file);
  const std::string parameters = Utf8ToAnsi(split.parameters);

  ShellExecuteInfoA info{};
  info.cbSize = sizeof info;
  info.fMask = kSeeMaskFlagNoUi | (blnWait ? kSeeMaskNoCloseProcess : 0);
  info.hwnd = lngOwnerhWnd;
  info.lpVerb = "open";
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.lpDirectory = "";
  info.nShow = WindowStyle;
  if (shell_.ShellExecuteExA(&info)) {
    UniqueKernelHandle process(info.hProcess, KernelHandleTraits{&processes_});
    // Served without a new process (a document handed to a running program):
    // there is nothing to wait for.
    if (!blnWait || !process) return true;
    return WaitForProcess(process.get());
  }
  return StartDirectly(strCommandLine, split, WindowStyle, blnWait);
}

bool cExecute::StartDirectly(std::string_view commandLine, const Split& split, int showCommand,
                             bool blnWait) {
  // The program is always named explicitly: started from a bare command line,
  // "C:\My Tools\app.exe" would run C:\My.exe when that exists.
  std::string program;
  std::string arguments;
  if (!split.found.empty()) {
    program = split.found;
    arguments = split.parameters;
  } else if (NamesExistingFile(commandLine)) {
    program = std::string(commandLine);
  } else if (commandLine.starts_with('"') && commandLine.find('"', 1) != std::string_view::npos) {
    const size_t close = commandLine.find('"', 1);
    if (!FindOnSearchPath(commandLine.substr(1, close - 1), &program, ".exe")) return false;
    arguments = std::string(commandLine.substr(close + 1));
    if (arguments.starts_with(' ')) arguments.erase(0, 1);
  } else if (commandLine.find(' ') == std::string_view::npos) {
    if (!FindOnSearchPath(commandLine, &program, ".exe")) return false;
  } else {
    return false;  // which program an unquoted line with spaces means is unknown
  }

  const std::string application = Utf8ToAnsi(program);
  std::string line = Utf8ToAnsi(Quoted(program) + (arguments.empty() ? "" : " " + arguments));
  ProcessInformation started;
  if (!processes_.CreateProcessA(application.c_str(), line.data(), showCommand, &started)) {
    return false;
  }
  UniqueKernelHandle process(started.hProcess, KernelHandleTraits{&processes_});
  return !blnWait || WaitForProcess(process.get());
}

bool cExecute::WaitForProcess(Handle process) {
  // Sleeps until the process ends or a message arrives; messages are
  // dispatched at once, so handlers (even a second launch) run inside.
  for (;;) {
    const DWORD woke = processes_.MsgWaitForSingleObject(process, kInfinite);
    if (woke == kWaitObject0) return true;
    if (woke != kWaitObject0 + 1) return false;
    events_.DoEvents();
  }
}

}  // namespace tavrel
