#include "shell/drop_target.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "base/win32/wide.h"

namespace tavrel {
namespace {

class StorageMedium {
 public:
  StorageMedium() = default;
  ~StorageMedium() {
    if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
  }
  StorageMedium(const StorageMedium&) = delete;
  StorageMedium& operator=(const StorageMedium&) = delete;
  STGMEDIUM* put() { return &medium_; }
  HGLOBAL global() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_{};
};

class GlobalLock {
 public:
  explicit GlobalLock(HGLOBAL global) : global_(global), data_(::GlobalLock(global)) {}
  ~GlobalLock() {
    if (data_) ::GlobalUnlock(global_);
  }
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  HDROP drop() const { return static_cast<HDROP>(data_); }

 private:
  HGLOBAL global_;
  void* data_;
};

}  // namespace

DropData ReadDroppedFiles(IDataObject* data) {
  DropData files;
  if (!data) return files;
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  StorageMedium medium;
  if (FAILED(data->GetData(&format, medium.put()))) return files;
  GlobalLock lock(medium.global());
  if (!lock.drop()) return files;
  files.count = DragQueryFileW(lock.drop(), 0xFFFFFFFF, nullptr, 0);
  if (files.count > 0) {
    const UINT length = DragQueryFileW(lock.drop(), 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(lock.drop(), 0, path.data(), length + 1);
    path.resize(length);
    files.first = Narrow(path);
  }
  return files;
}

HRESULT DropTarget::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  // __uuidof, not IID_IDropTarget: that one drags libuuid's whole table of
  // interface ids into the executable.
  if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDropTarget))) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return ++refs_; }

ULONG DropTarget::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

DWORD DropTarget::Answer(DWORD allowed) {
  lastAnswer_ = sink_.Accepts(box_, dragged_) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  if (!(allowed & lastAnswer_)) lastAnswer_ = DROPEFFECT_NONE;
  return lastAnswer_;
}

// No exception may leave these methods: OLE calls them from C.
HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  try {
    dragged_ = ReadDroppedFiles(data);
    *effect = Answer(*effect);
    return S_OK;
  } catch (...) {
    *effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  try {
    *effect = Answer(*effect);
    return S_OK;
  } catch (...) {
    *effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HRESULT DropTarget::DragLeave() {
  dragged_ = DropData{};
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  try {
    dragged_ = ReadDroppedFiles(data);
    *effect = Answer(*effect);
    const DropData dropped = std::exchange(dragged_, DropData{});
    if (*effect == DROPEFFECT_COPY) sink_.Drop(box_, dropped);
    return S_OK;
  } catch (...) {
    *effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HRESULT OleScope::Initialize() {
  if (initialized_) return S_FALSE;
  const HRESULT result = OleInitialize(nullptr);
  // S_FALSE: OLE was already on; it still takes an OleUninitialize.
  initialized_ = SUCCEEDED(result);
  return result;
}

void OleScope::Uninitialize() {
  if (std::exchange(initialized_, false)) OleUninitialize();
}

HRESULT DropRegistration::Register(HWND window, UniqueCom<DropTarget> target) {
  Revoke();
  const HRESULT result = RegisterDragDrop(window, target.get());
  if (SUCCEEDED(result)) {
    window_ = window;
    target_ = std::move(target);
  }
  return result;
}

void DropRegistration::Revoke() {
  if (!window_) return;
  RevokeDragDrop(std::exchange(window_, nullptr));
  target_.reset();
}

}  // namespace tavrel
