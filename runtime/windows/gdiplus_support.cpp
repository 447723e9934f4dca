#include "gdiplus_support.h"

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
  started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (started_) Gdiplus::GdiplusShutdown(token_);
}

void GdiplusImage::reset(Gdiplus::GpImage* image) {
  if (image_) Gdiplus::DllExports::GdipDisposeImage(image_);
  image_ = image;
}

GlobalBlock copyToGlobalBlock(const ByteBuffer& bytes) {
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!block.get()) return block;
  void* target = GlobalLock(block.get());
  if (!target) return GlobalBlock();
  bufferToMemory(bytes, target, -1);
  GlobalUnlock(block.get());
  return block;
}

ComPtr<IStream> streamOverBlock(HGLOBAL block) {
  ComPtr<IStream> stream;
  if (block) CreateStreamOnHGlobal(block, FALSE, stream.put());
  return stream;
}
