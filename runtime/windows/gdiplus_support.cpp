#include "gdiplus_support.h"

#include <type_traits>

#include "system_dlls.h"

namespace {

GdiplusFunctions loadGdiplus() {
  // Loaded once and kept: GDI+ is started and shut down around each use.
  const HMODULE module = loadSystemDll(L"gdiplus.dll");
  GdiplusFunctions loaded{};
  const auto load = [module](auto& function, const char* name) {
    function = exportOf<std::remove_reference_t<decltype(function)>>(module, name);
    return function != nullptr;
  };
  const bool complete =
      load(loaded.startup, "GdiplusStartup") && load(loaded.shutdown, "GdiplusShutdown") &&
      load(loaded.createBitmapFromStream, "GdipCreateBitmapFromStream") &&
      load(loaded.createBitmapFromHBITMAP, "GdipCreateBitmapFromHBITMAP") &&
      load(loaded.createHBITMAPFromBitmap, "GdipCreateHBITMAPFromBitmap") &&
      load(loaded.getImageWidth, "GdipGetImageWidth") && load(loaded.getImageHeight, "GdipGetImageHeight") &&
      load(loaded.saveImageToStream, "GdipSaveImageToStream") && load(loaded.disposeImage, "GdipDisposeImage");
  return complete ? loaded : GdiplusFunctions{};
}

}  // namespace

const GdiplusFunctions* gdiplusFunctions() {
  static const GdiplusFunctions functions = loadGdiplus();
  return functions.startup ? &functions : nullptr;
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
  started_ = gdiplusFunctions() && gdiplusFunctions()->startup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (started_) gdiplusFunctions()->shutdown(token_);
}

// An image exists only where GDI+ started.
void GdiplusImage::reset(Gdiplus::GpImage* image) {
  if (image_) gdiplusFunctions()->disposeImage(image_);
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
