#include "drop_target.h"

#include <shellapi.h>

#include <string>

#include "system_path.h"

DropTargetSwitches readDropTargetRecord(const std::uint8_t* record, std::size_t size) {
  auto value = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{record[at + i]} << (8 * i);
    return v;
  };
  if (!record || size < 20 || value(0) > 1) return {};
  return {value(4) != 0, value(8) != 0, value(12) != 0, value(16) != 0};
}

DWORD dropEffectFor(bool accepted, DWORD keyState, DWORD allowed) {
  if (!accepted) return DROPEFFECT_NONE;
  const bool control = keyState & MK_CONTROL, shift = keyState & MK_SHIFT;
  if (control || shift) {
    const DWORD asked = control ? (shift ? DROPEFFECT_LINK : DROPEFFECT_COPY) : DROPEFFECT_MOVE;
    return (asked != DROPEFFECT_LINK && (allowed & asked)) ? asked : DROPEFFECT_NONE;
  }
  for (DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
    if (allowed & effect) return effect;
  return DROPEFFECT_NONE;
}

Text droppedFilesText(HDROP drop, ShortPathLookup shortPath) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  Text joined;
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    joined += pathFromWindows(path, shortPath);
    if (count > 1) joined += "\r\n";
  }
  return joined;
}

EDropTarget::EDropTarget(DropTargetSwitches switches, HWND window, void (*filesDropped)(const Text&))
    : switches_(switches), window_(window), filesDropped_(filesDropped) {}

HRESULT EDropTarget::QueryInterface(REFIID id, void** object) {
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG EDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG EDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// While the program's window is disabled (a modal window, the busy window
// above all, is open) nothing may be dropped: the intake would rewrite the
// working copies under a running build.
DWORD EDropTarget::effectNow(DWORD keyState, DWORD allowed) const {
  HWND root = window_ ? GetAncestor(window_, GA_ROOT) : nullptr;
  if (root && !IsWindowEnabled(root)) return DROPEFFECT_NONE;
  return dropEffectFor(accepted_, keyState, allowed);
}

HRESULT EDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) {
  accepted_ = false;
  auto offers = [&](CLIPFORMAT format) {
    FORMATETC asked{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->QueryGetData(&asked) == S_OK;
  };
  if (switches_.text && offers(CF_TEXT)) accepted_ = true;
  else if (switches_.files && offers(CF_HDROP)) accepted_ = true;
  else if (switches_.url && offers(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocator"))))
    accepted_ = true;
  else if (switches_.html && offers(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"HTML Format"))))
    accepted_ = true;
  *effect = effectNow(keyState, *effect);
  return S_OK;
}

HRESULT EDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
  *effect = effectNow(keyState, *effect);
  return S_OK;
}

HRESULT EDropTarget::DragLeave() {
  accepted_ = false;
  return S_OK;
}

HRESULT EDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL, DWORD* effect) {
  DWORD result = effectNow(keyState, *effect);
  // We only read the files: a source told "moved" might delete the picture.
  if (result == DROPEFFECT_MOVE) result = DROPEFFECT_COPY;
  *effect = result;
  if (result == DROPEFFECT_NONE) return E_FAIL;
  if (switches_.files) deliverFiles(data);
  return E_FAIL;  // always, also after a delivery
}

void EDropTarget::deliverFiles(IDataObject* data) {
  FORMATETC asked{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (!data || data->GetData(&asked, &medium) != S_OK) return;
  Text paths;
  if (void* list = GlobalLock(medium.hGlobal)) {
    paths = droppedFilesText(static_cast<HDROP>(list));
    GlobalUnlock(medium.hGlobal);
  }
  ReleaseStgMedium(&medium);
  if (filesDropped_) filesDropped_(paths);
}

DropTargetControl::DropTargetControl(DropTargetSwitches switches, void (*filesDropped)(const Text&))
    : switches_(switches), filesDropped_(filesDropped) {}

DropTargetControl::~DropTargetControl() {
  revoke();
  if (target_) target_->Release();
}

bool DropTargetControl::registerOn(HWND window) {
  if (window_) return false;
  window_ = window;
  target_ = new EDropTarget(switches_, window, filesDropped_);
  return RegisterDragDrop(window, target_) == S_OK;
}

void DropTargetControl::revoke() {
  if (window_) RevokeDragDrop(window_);
}

bool registerDropTarget(DropTargetControl& control, HWND window) { return control.registerOn(window); }
