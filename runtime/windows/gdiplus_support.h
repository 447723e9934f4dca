#pragma once
// GDI+ for the picture box's decoder and the re-encoder: its functions, one
// session type, owners for an image and for a memory block, and a stream
// over a copy of encoded bytes. Declared in the order of use, the owners
// are released in the reverse order, which GDI+ needs: an image before the
// stream and the memory it reads, everything before the session ends.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

#include "byte_buffer.h"
#include "com_ptr.h"
#include "handles.h"

// The functions of GDI+'s flat interface that the program calls, from the
// system's gdiplus.dll, loaded at run time from the system folder: GDI+ is
// not one of Windows 7's known DLLs, so an import of it would be looked for
// beside the program first.
struct GdiplusFunctions {
  decltype(&Gdiplus::GdiplusStartup) startup;
  decltype(&Gdiplus::GdiplusShutdown) shutdown;
  decltype(&Gdiplus::DllExports::GdipCreateBitmapFromStream) createBitmapFromStream;
  decltype(&Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP) createBitmapFromHBITMAP;
  decltype(&Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap) createHBITMAPFromBitmap;
  decltype(&Gdiplus::DllExports::GdipGetImageWidth) getImageWidth;
  decltype(&Gdiplus::DllExports::GdipGetImageHeight) getImageHeight;
  decltype(&Gdiplus::DllExports::GdipSaveImageToStream) saveImageToStream;
  decltype(&Gdiplus::DllExports::GdipDisposeImage) disposeImage;
};
// All of them; null where the DLL or one of them is missing.
const GdiplusFunctions* gdiplusFunctions();

// GdiplusStartup (version 1, no callback, the background thread and the
// external codecs not suppressed) for the lifetime of the object.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool started() const { return started_; }
  // GDI+'s functions, once started.
  const GdiplusFunctions& functions() const { return *gdiplusFunctions(); }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

// A GDI+ image: GdipDisposeImage.
class GdiplusImage {
 public:
  GdiplusImage() = default;
  explicit GdiplusImage(Gdiplus::GpImage* image) : image_(image) {}
  GdiplusImage(GdiplusImage&& other) noexcept : image_(std::exchange(other.image_, nullptr)) {}
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;
  GdiplusImage& operator=(GdiplusImage&& other) noexcept {
    reset(std::exchange(other.image_, nullptr));
    return *this;
  }
  ~GdiplusImage() { reset(); }
  Gdiplus::GpImage* get() const { return image_; }
  explicit operator bool() const { return image_ != nullptr; }
  void reset(Gdiplus::GpImage* image = nullptr);

 private:
  Gdiplus::GpImage* image_ = nullptr;
};

struct GlobalBlockTraits {  // a movable global memory block
  using Handle = HGLOBAL;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr; }
  static void close(Handle h) { GlobalFree(h); }
};
using GlobalBlock = UniqueHandle<GlobalBlockTraits>;

// A global block of the bytes' size with a copy of them; empty when it
// cannot be allocated or locked.
GlobalBlock copyToGlobalBlock(const ByteBuffer& bytes);
// A stream over the block that leaves the block to its owner.
ComPtr<IStream> streamOverBlock(HGLOBAL block);

// A block locked for reading, unlocked at the end of its scope.
class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL block) : block_(block), bytes_(block ? GlobalLock(block) : nullptr) {}
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  ~LockedBlock() {
    if (bytes_) GlobalUnlock(block_);
  }
  const void* bytes() const { return bytes_; }

 private:
  HGLOBAL block_;
  void* bytes_;
};
