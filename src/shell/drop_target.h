// An OLE drop target for one file box: it reads the dragged file list
// (CF_HDROP) once per drag and hands it to the sink of the drags, answering
// the drag source with none or copy. Also the owners of OLE on the thread and
// of one window's registration as a drop target.
#pragma once

#include <ole2.h>

#include <atomic>
#include <memory>

#include "run/run.h"
#include "base/win32/com.h"

namespace tavrel {

// Where the drags over the file boxes go: whether the box takes what is
// dragged over it, and a drop there.
class IDropSink {
 public:
  virtual bool Accepts(DropBox box, const DropData& data) = 0;
  virtual void Drop(DropBox box, const DropData& data) = 0;

 protected:
  ~IDropSink() = default;
};

class DropTarget final : public IDropTarget {
 public:
  DropTarget(IDropSink& sink, DropBox box) : sink_(sink), box_(box) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  ~DropTarget() = default;
  // The run's answer, narrowed to what the source allows.
  DWORD Answer(DWORD allowed);

  std::atomic<ULONG> refs_{1};
  IDropSink& sink_;
  DropBox box_;
  DropData dragged_;  // read at DragEnter, dropped at DragLeave or Drop
  DWORD lastAnswer_ = DROPEFFECT_NONE;
};

// The files a data object carries as CF_HDROP: their number and the first.
DropData ReadDroppedFiles(IDataObject* data);

// OLE on this thread, which drop targets need. Uninitialises only what its
// own initialisation did.
class OleScope {
 public:
  OleScope() = default;
  ~OleScope() { Uninitialize(); }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

  HRESULT Initialize();
  void Uninitialize();

 private:
  bool initialized_ = false;
};

// One window registered as a drop target, revoked when the owner ends or
// Revoke is called (before the window is destroyed and OLE uninitialised).
class DropRegistration {
 public:
  DropRegistration() = default;
  ~DropRegistration() { Revoke(); }
  DropRegistration(const DropRegistration&) = delete;
  DropRegistration& operator=(const DropRegistration&) = delete;

  // RegisterDragDrop's result; OLE keeps a reference of its own.
  HRESULT Register(HWND window, UniqueCom<DropTarget> target);
  void Revoke();

 private:
  HWND window_ = nullptr;
  UniqueCom<DropTarget> target_;
};

}  // namespace tavrel
