// shell32 calls: ShellExecuteExA and ExtractIconA, and the icons they hand out.
#pragma once

#include <cstddef>

#include "platform/unique_handle.h"
#include "platform/win_types.h"

namespace tavrel {

inline constexpr DWORD kSeeMaskNoCloseProcess = 0x40;
inline constexpr DWORD kSeeMaskFlagNoUi = 0x400;

// SHELLEXECUTEINFOA field for field (the Windows backend checks that sizes and
// offsets agree with the SDK's record). The record is 112 bytes on x86_64 and
// 60 on 32-bit Windows; cbSize must be the target's size or Windows refuses it.
struct ShellExecuteInfoA {
  DWORD cbSize;
  DWORD fMask;
  Hwnd hwnd;
  const char* lpVerb;
  const char* lpFile;
  const char* lpParameters;
  const char* lpDirectory;
  int nShow;
  Hinstance hInstApp;
  void* lpIDList;
  const char* lpClass;
  Hkey hkeyClass;
  DWORD dwHotKey;
  void* hIconOrMonitor;
  Handle hProcess;
};

static_assert(sizeof(void*) != 8 || sizeof(ShellExecuteInfoA) == 112);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoA, fMask) == 4);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoA, nShow) == 48);
static_assert(sizeof(void*) != 8 || offsetof(ShellExecuteInfoA, hProcess) == 104);
static_assert(sizeof(void*) != 4 || sizeof(ShellExecuteInfoA) == 60);

class IShell {
 public:
  virtual ~IShell() = default;

  virtual BOOL ShellExecuteExA(ShellExecuteInfoA* info) = 0;
  // With index -1 (as UINT) the number of icons, cast to a handle; otherwise
  // the icon at that index, which the caller destroys.
  virtual Hicon ExtractIconA(Hinstance instance, const char* exeFileName, UINT iconIndex) = 0;
  virtual BOOL DestroyIcon(Hicon icon) = 0;
};

struct IconTraits {
  using Type = Hicon;
  static Type Invalid() { return nullptr; }
  void Close(Type icon) const { shell->DestroyIcon(icon); }
  IShell* shell = nullptr;
};

using UniqueIcon = UniqueHandle<IconTraits>;

}  // namespace tavrel
