#pragma once
// Owners for GDI objects, so that each is released once, on every path.
#include <windows.h>

#include <utility>

// A font, brush or bitmap: DeleteObject.
template <typename Object>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Object object) : object_(object) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  ~GdiObject() { reset(); }
  Object get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset(Object object = nullptr) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }

 private:
  Object object_ = nullptr;
};

// An icon loaded with LoadImage: DestroyIcon.
class IconHandle {
 public:
  explicit IconHandle(HICON icon = nullptr) : icon_(icon) {}
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() {
    if (icon_) DestroyIcon(icon_);
  }
  HICON get() const { return icon_; }

 private:
  HICON icon_;
};

// A memory device context: DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC dc) : dc_(dc) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

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
