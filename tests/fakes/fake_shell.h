// shell32 as the launcher and start-up meet it: ShellExecuteExW checks the
// record's size as Windows does, starts programs that exist, hands documents
// and URLs to a program that is already running (no new process), and fails
// for what does not exist with ERROR_FILE_NOT_FOUND; ExtractIconW serves icon
// counts set per file.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fakes/fake_processes.h"
#include "platform/shell_api.h"

namespace tavrel::fakes {

class FakeShell final : public IShell {
 public:
  struct Call {
    DWORD cbSize, fMask;
    Hwnd hwnd;
    std::string verb, file, parameters, directory;
    bool fileIsNull, parametersIsNull, directoryIsNull;
    int nShow;
  };

  FakeShell(FakeFileSystem& files, FakeProcesses& processes) : files_(files), processes_(processes) {}

  void SetIconCount(const std::string& path, int count);
  size_t LiveIconCount() const { return liveIcons_.size(); }

  std::vector<Call> calls;
  bool failShellExecute = false;
  DWORD shellExecuteError = kErrorFileNotFound;  // what a forced failure reports

  BOOL ShellExecuteExW(ShellExecuteInfoW* info) override;
  Hicon ExtractIconW(Hinstance instance, const char16_t* exeFileName, UINT iconIndex) override;
  BOOL DestroyIcon(Hicon icon) override;
  DWORD GetLastError() override { return lastError_; }

 private:
  FakeFileSystem& files_;
  FakeProcesses& processes_;
  std::map<std::u16string, int> iconCounts_;
  std::set<Hicon> liveIcons_;
  DWORD lastError_ = 0;
  std::uintptr_t nextIcon_ = 0x7000;
};

}  // namespace tavrel::fakes
