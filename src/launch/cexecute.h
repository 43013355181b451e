// Tavrel's launcher: opens a command line through the shell's "open" action
// (a program with arguments, a document or a URL) and, when asked, waits until
// the started process has ended while the window's messages keep flowing.
// A caller makes a fresh cExecute for each use.
#pragma once

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

  // True when something was started and, with blnWait, its end was seen.
  // False when nothing could be started, or when the wait failed and the
  // program's end therefore cannot be known.
  bool ShellX(std::string_view strCommandLine, int WindowStyle, Hwnd lngOwnerhWnd, bool blnWait);

 private:
  struct Split {
    std::string file;        // the file part (UTF-8)
    std::string parameters;  // the parameter part
    std::string found;       // the file part's full path, when the search found it
  };

  Split SplitCommandLine(std::string_view commandLine);
  // True when the search path finds a file (never a folder) by this name;
  // `found` receives its full path.
  bool FindOnSearchPath(std::string_view strFile, std::string* found = nullptr,
                        const char* extension = nullptr);
  bool NamesExistingFile(std::string_view path);
  bool StartDirectly(std::string_view commandLine, const Split& split, int showCommand,
                     bool blnWait);
  bool WaitForProcess(Handle process);

  IShell& shell_;
  IFileSystem& files_;
  IProcesses& processes_;
  IEventLoop& events_;
};

}  // namespace tavrel
