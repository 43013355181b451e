// Owners for Win32 objects: GDI objects, icons, kernel handles and registry
// keys (the test and benchmark tools use them too).
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tavrel {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename T>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<T>, GdiObjectDeleter>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

struct KernelHandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel object (process, event, mutex, snapshot); null when none.
using UniqueWin32Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

struct RegKeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueWin32Key = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

struct LocalMemoryFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};
// A block a call allocated with LocalAlloc for its caller to free.
template <typename T>
using UniqueLocalMemory = std::unique_ptr<T, LocalMemoryFreer>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueWin32Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

}  // namespace tavrel
