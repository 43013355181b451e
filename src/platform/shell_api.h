// shell32 calls: ShellExecuteExW and ExtractIconW, and the icons they hand out.
#pragma once

#include <cstddef>

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

inline constexpr DWORD kSeeMaskNoCloseProcess = 0x40;
inline constexpr DWORD kSeeMaskFlagNoUi = 0x400;

// SHELLEXECUTEINFOW field for field (the Windows backend checks that sizes and
// offsets agree with the SDK's record). The record is 112 bytes on x86_64 and
// 60 on 32-bit Windows; cbSize must be the target's size or Windows refuses it.
struct ShellExecuteInfoW {
  DWORD cbSize;
  DWORD fMask;
  Hwnd hwnd;
  const char16_t* lpVerb;
  const char16_t* lpFile;
  const char16_t* lpParameters;
  const char16_t* lpDirectory;
  int nShow;
  Hinstance hInstApp;
  void* lpIDList;
  const char16_t* lpClass;
  Hkey hkeyClass;
  DWORD dwHotKey;
  void* hIconOrMonitor;
  Handle hProcess;
};

static_assert(sizeof(void*) != 8 || sizeof(ShellExecuteInfoW) == 112);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoW, fMask) == 4);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoW, nShow) == 48);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoW, hProcess) == 104);
static_assert(sizeof(void*) != 4 || sizeof(ShellExecuteInfoW) == 60);

class IShell {
 public:
  virtual ~IShell() = default;

  virtual BOOL ShellExecuteExW(ShellExecuteInfoW* info) = 0;
  // With index -1 (as UINT) the number of icons, cast to a handle; otherwise
  // the icon at that index, which the caller destroys.
  virtual Hicon ExtractIconW(Hinstance instance, const char16_t* exeFileName, UINT iconIndex) = 0;
  virtual BOOL DestroyIcon(Hicon icon) = 0;

  // The error of the last call of this interface that failed, as
  // GetLastError() gave it right after that call.
  virtual DWORD GetLastError() = 0;
};

using IconTraits = ApiHandleTraits<IShell, Hicon, &IShell::DestroyIcon>;
using UniqueIcon = UniqueHandle<IconTraits>;

}  // namespace tavrel
