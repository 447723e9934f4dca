#include "picture_decoder.h"

#include "gdiplus_support.h"

using namespace Gdiplus;

DecodedPicture decodePicture(const ByteBuffer& encoded) {
  if (encoded.empty()) return {};
  const GdiplusSession session;
  if (!session.started()) return {};
  const GdiplusFunctions& gdiplus = session.functions();
  const GlobalBlock block = copyToGlobalBlock(encoded);
  const ComPtr<IStream> stream = streamOverBlock(block.get());
  if (!stream) return {};
  GpBitmap* bitmap = nullptr;
  if (gdiplus.createBitmapFromStream(stream.get(), &bitmap) != Ok || !bitmap) return {};
  const GdiplusImage image(bitmap);
  UINT width = 0, height = 0;
  gdiplus.getImageWidth(bitmap, &width);
  gdiplus.getImageHeight(bitmap, &height);
  HBITMAP converted = nullptr;
  if (gdiplus.createHBITMAPFromBitmap(bitmap, &converted, 0xFFFFFFFF) != Ok) return {};
  DecodedPicture picture;
  picture.bitmap.reset(converted);
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return picture;
}
