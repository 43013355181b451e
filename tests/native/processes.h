// The processes a check starts or meets: started, found by their parent,
// closed as a user closes them, killed as Task Manager kills them. Whatever
// still runs when the owner goes is terminated, so that no check leaves a
// Tavrel or a sample program behind on the machine.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "base/win32/handles.h"

namespace tavrel::native {

class Processes {
 public:
  Processes() = default;
  ~Processes();
  Processes(const Processes&) = delete;
  Processes& operator=(const Processes&) = delete;

  // CreateProcessW of the line as written, in folder; the process's id, or 0.
  DWORD Start(const std::wstring& folder, const std::wstring& line);
  // Takes a running process into care; false when it cannot be opened.
  bool Adopt(DWORD pid);
  bool Running(DWORD pid) const;
  bool WaitEnded(DWORD pid, DWORD ms) const;
  // WM_CLOSE to each of its visible top-level windows; false when it shows none.
  static bool CloseWindows(DWORD pid);
  void Kill(DWORD pid);
  // Terminates every process in care that still runs, and forgets them all.
  void EndAll();

 private:
  std::map<DWORD, UniqueWin32Handle> handles_;
};

// The process that started pid, as the system's snapshot of processes says.
std::optional<DWORD> ParentOf(DWORD pid);

// Asks done() every 50 ms until it says yes or ms have passed.
template <typename Done>
bool WaitUntil(Done done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    Sleep(50);
  }
  return true;
}

}  // namespace tavrel::native
