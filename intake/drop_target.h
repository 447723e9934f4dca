#pragma once
// The drop-target control: makes a window an OLE drop target and raises
// its files-dropped event with the dropped paths as one text.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdint>

#include "system_path.h"
#include "text.h"
#include "window_attachment.h"

// What a drop target accepts, from its layout record: a version (0 or 1)
// and four switches in the order text, HTML, URL, files.
struct DropTargetSwitches {
  bool text = false, html = false, url = false, files = false;
};
// Reads a layout record; all off when it is missing or of another version.
DropTargetSwitches readDropTargetRecord(const std::uint8_t* record, std::size_t size);

// DROPEFFECT for a key state and the effects a source allows.
DWORD dropEffectFor(bool accepted, DWORD keyState, DWORD allowed);

class EDropTarget : public IDropTarget {
 public:
  EDropTarget(DropTargetSwitches switches, HWND window, void (*filesDropped)(const Text&));

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

 private:
  virtual ~EDropTarget() = default;
  DWORD effectNow(DWORD keyState, DWORD allowed) const;
  void deliverFiles(IDataObject* data);
  LONG references_ = 1;
  bool accepted_ = false;
  DropTargetSwitches switches_;
  HWND window_;
  void (*filesDropped_)(const Text&);
};

// The control (拖放对象1): registered once on a window, and revoked when
// that window goes (attached to it).
class DropTargetControl : public WindowAttachment {
 public:
  DropTargetControl(DropTargetSwitches switches, void (*filesDropped)(const Text&));
  ~DropTargetControl() override;
  // False when already registered; otherwise RegisterDragDrop's success.
  bool registerOn(HWND window);
  // RevokeDragDrop, when the window is going away.
  void revoke();
  void windowGoing() override { revoke(); }

 private:
  DropTargetSwitches switches_;
  void (*filesDropped_)(const Text&);
  HWND window_ = nullptr;
  EDropTarget* target_ = nullptr;
};

// The text of the files-dropped event: one path alone, several each
// followed by CR LF. Each path as pathFromWindows gives it (a path with no
// GBK form by its short name, or with "?").
Text droppedFilesText(HDROP drop, ShortPathLookup shortPath = systemShortPath);

bool registerDropTarget(DropTargetControl& control, HWND window);
