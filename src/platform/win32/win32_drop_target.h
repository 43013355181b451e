// An OLE drop target for one file box: it reads the dragged file list
// (CF_HDROP) once per drag and hands it to the form's drag-over and drop
// handlers, answering the drag source with none or copy.
#pragma once

#include <ole2.h>

#include <atomic>
#include <functional>

#include "app/frm_main.h"

namespace tavrel {

class DropTarget final : public IDropTarget {
 public:
  using OverHandler = std::function<DWORD(const DropData&)>;
  using DropHandler = std::function<void(const DropData&)>;

  DropTarget(OverHandler over, DropHandler drop) : over_(std::move(over)), drop_(std::move(drop)) {}

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
  // The form's answer, narrowed to what the source allows.
  DWORD Answer(DWORD allowed);

  std::atomic<ULONG> refs_{1};
  OverHandler over_;
  DropHandler drop_;
  DropData dragged_;  // read at DragEnter, dropped at DragLeave or Drop
  DWORD lastAnswer_ = DROPEFFECT_NONE;
};

// The files a data object carries as CF_HDROP: their number and the first.
DropData ReadDroppedFiles(IDataObject* data);

}  // namespace tavrel
