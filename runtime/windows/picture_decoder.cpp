#include "picture_decoder.h"

#include "gdiplus_support.h"

using namespace Gdiplus;

DecodedPicture decodePicture(const ByteBuffer& encoded) {
  if (encoded.empty()) return {};
  const GdiplusSession gdiplus;
  if (!gdiplus.started()) return {};
  const GlobalBlock block = copyToGlobalBlock(encoded);
  const ComPtr<IStream> stream = streamOverBlock(block.get());
  if (!stream) return {};
  GpBitmap* bitmap = nullptr;
  if (DllExports::GdipCreateBitmapFromStream(stream.get(), &bitmap) != Ok || !bitmap) return {};
  const GdiplusImage image(bitmap);
  UINT width = 0, height = 0;
  DllExports::GdipGetImageWidth(bitmap, &width);
  DllExports::GdipGetImageHeight(bitmap, &height);
  HBITMAP converted = nullptr;
  if (DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &converted, 0xFFFFFFFF) != Ok) return {};
  DecodedPicture picture;
  picture.bitmap.reset(converted);
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return picture;
}
