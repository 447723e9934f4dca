#pragma once
// Owners for GDI objects, so that each is released once, on every path.
#include <windows.h>

#include "handles.h"

template <typename Object>
struct GdiObjectTraits {  // a font, brush or bitmap
  using Handle = Object;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr; }
  static void close(Handle h) { DeleteObject(h); }
};

struct IconTraits {  // an icon loaded with LoadImage
  using Handle = HICON;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr; }
  static void close(Handle h) { DestroyIcon(h); }
};

struct MemoryDcTraits {  // a memory device context
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr; }
  static void close(Handle h) { DeleteDC(h); }
};

template <typename Object>
using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;
using IconHandle = UniqueHandle<IconTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;

// An object selected into a device context for a scope; the previous one
// is selected again at its end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
