#include "picture_decoder.h"

#include <objidl.h>
#include <gdiplus.h>

#include "com_ptr.h"

using namespace Gdiplus;

namespace {

class GdiplusSession {
 public:
  GdiplusSession() {
    GdiplusStartupInput input;
    started_ = GdiplusStartup(&token_, &input, nullptr) == Ok;
  }
  ~GdiplusSession() {
    if (started_) GdiplusShutdown(token_);
  }
  bool started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

ComPtr<IStream> streamOver(const ByteBuffer& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return {};
  if (void* target = GlobalLock(memory)) {
    CopyMemory(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) GlobalFree(memory);
  return stream;
}

}  // namespace

DecodedPicture decodePicture(const ByteBuffer& encoded) {
  if (encoded.empty()) return {};
  GdiplusSession gdiplus;
  if (!gdiplus.started()) return {};
  ComPtr<IStream> stream = streamOver(encoded);
  if (!stream) return {};
  GpBitmap* bitmap = nullptr;
  if (DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap) != Ok || !bitmap) return {};
  DecodedPicture picture;
  UINT width = 0, height = 0;
  DllExports::GdipGetImageWidth(bitmap, &width);
  DllExports::GdipGetImageHeight(bitmap, &height);
  HBITMAP converted = nullptr;
  if (DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &converted, 0xFFFFFFFF) == Ok) {
    picture = {converted, static_cast<int>(width), static_cast<int>(height)};
  }
  DllExports::GdipDisposeImage(bitmap);
  return picture;
}
