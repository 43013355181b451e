// Tavrel's launcher: opens a command line through the shell's "open" action
// (a program with arguments, a document or a URL) and, when asked, waits until
// the started process has ended while the window's messages keep flowing.
// A caller makes a fresh cExecute for each use.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_api.h"
#include "platform/process_api.h"
#include "platform/shell_api.h"

namespace tavrel {

class cExecute {
 public:
  cExecute(IShell& shell, IFileSystem& files, IProcesses& processes, IEventLoop& events)
      : shell_(shell), files_(files), processes_(processes), events_(events) {}

  // Called with the started process's handle, when waiting, before the wait.
  void OnStarted(std::function<void(Handle)> onStarted) { onStarted_ = std::move(onStarted); }

  // True when something was started and, with blnWait, its end was seen.
  // False when nothing could be started, or when the wait failed and the
  // program's end therefore cannot be known (Started() tells the two apart).
  bool ShellX(std::string_view strCommandLine, int WindowStyle, Hwnd lngOwnerhWnd, bool blnWait);

  // After ShellX: whether anything was started, and if not, the Windows error.
  bool Started() const { return started_; }
  DWORD LastError() const { return lastError_; }

 private:
  struct Split {
    std::u16string file;        // the file part
    std::u16string parameters;  // the parameter part
    std::u16string found;       // the file part's full path, when the search found it
  };

  Split SplitCommandLine(std::u16string_view commandLine);
  // True when the search path finds a file (never a folder) by this name;
  // `found` receives its full path.
  bool FindOnSearchPath(std::u16string_view strFile, std::u16string* found = nullptr,
                        const char16_t* extension = nullptr);
  bool NamesExistingFile(std::u16string_view path);
  bool StartDirectly(std::u16string_view commandLine, const Split& split, int showCommand,
                     bool blnWait);
  bool Wait(Handle process);

  IShell& shell_;
  IFileSystem& files_;
  IProcesses& processes_;
  IEventLoop& events_;
  std::function<void(Handle)> onStarted_;
  bool started_ = false;
  DWORD lastError_ = 0;
};

}  // namespace tavrel
