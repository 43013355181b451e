// Owners for what drawing borrows and the window creates, beside the handle
// owners of win32_handles.h: a window's device context, a paint, an object
// selected into a device context, a memory canvas, and a window.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tavrel {

// GetDC, given back with ReleaseDC. A null window is the screen.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint, ended with EndPaint (which every BeginPaint takes, even one
// that gave no device context).
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context; the one it replaced goes back in
// when the scope ends.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (*this) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  explicit operator bool() const { return old_ != nullptr && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

// A memory device context with one bitmap selected into it for drawing.
class MemoryCanvas {
 public:
  explicit MemoryCanvas(HBITMAP bitmap)
      : dc_(CreateCompatibleDC(nullptr)), selection_(dc_.get(), bitmap) {}
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  HDC dc() const { return dc_.get(); }
  explicit operator bool() const { return dc_ && selection_; }

 private:
  UniqueDc dc_;
  Selection selection_;  // declared after dc_: deselects before the DC goes
};

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
// A window of this thread; its child windows go with it.
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

}  // namespace tavrel
