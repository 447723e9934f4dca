#include "reencode.h"

#include <windows.h>

#include <vector>

#include "arithmetic.h"
#include "files.h"
#include "gdi_owners.h"
#include "gdiplus_support.h"
#include "responsiveness.h"
#include "signatures.h"
#include "working_files.h"

using namespace Gdiplus;

namespace {

const char* encoderClassId(int targetFormat) {
  switch (targetFormat) {
    case 1: return "{557CF400-1A04-11D3-9A73-0000F81EF32E}";  // BMP
    case 2: return "{557CF401-1A04-11D3-9A73-0000F81EF32E}";  // JPEG
    case 3: return "{557CF402-1A04-11D3-9A73-0000F81EF32E}";  // GIF
    case 4: return "{557CF405-1A04-11D3-9A73-0000F81EF32E}";  // TIFF
    case 5: return "{557CF406-1A04-11D3-9A73-0000F81EF32E}";  // PNG
    default: return "";
  }
}

CLSID encoderOf(int targetFormat) {
  const char* text = encoderClassId(targetFormat);
  const int length = MultiByteToWideChar(936, 0, text, -1, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
  MultiByteToWideChar(936, 0, text, -1, wide.data(), length);
  CLSID id{};  // stays null for an empty text: no encoder has it
  CLSIDFromString(wide.data(), &id);
  return id;
}

ByteBuffer bmpFormOf(const ByteBuffer& picture) {
  if (startsAs(IMAGE_FORMAT_BMP, picture.data(), picture.size())) return picture;
  ByteBuffer bmp;
  reencodeBytes(picture, 1, "", bmp);
  return bmp;
}

// The image the source stream decodes to, drawn over white when asked (the
// GDI bitmap in between and the first image are released at once).
GdiplusImage decodeFrom(const GdiplusFunctions& gdiplus, IStream* stream, bool flattenOnWhite) {
  GpBitmap* bitmap = nullptr;
  gdiplus.createBitmapFromStream(stream, &bitmap);
  GdiplusImage image(bitmap);
  if (!flattenOnWhite || !bitmap) return image;
  HBITMAP flat = nullptr;
  gdiplus.createHBITMAPFromBitmap(bitmap, &flat, 0x00FFFFFF);
  const GdiObject<HBITMAP> drawn(flat);
  GpBitmap* flattened = nullptr;
  gdiplus.createBitmapFromHBITMAP(flat, nullptr, &flattened);
  image.reset(flattened);
  return image;
}

// The source decoded and saved into a new stream. The image and the
// source's copies are released before the caller copies the result out: a
// large picture's decoded image, its encoded form and that copy would
// otherwise be held at once (too much for 2 GB of address space).
ComPtr<IStream> savedStream(const GdiplusFunctions& gdiplus, const ByteBuffer& source, const CLSID& encoder,
                            bool flattenOnWhite) {
  const GlobalBlock sourceBlock = copyToGlobalBlock(source);
  if (!sourceBlock.get()) return {};
  const ComPtr<IStream> sourceStream = streamOverBlock(sourceBlock.get());
  const GdiplusImage image = decodeFrom(gdiplus, sourceStream.get(), flattenOnWhite);
  ComPtr<IStream> output;
  CreateStreamOnHGlobal(nullptr, TRUE, output.put());
  if (image && output) gdiplus.saveImageToStream(image.get(), output.get(), &encoder, nullptr);
  return output;
}

}  // namespace

bool reencodeBytes(const ByteBuffer& source, int targetFormat, const Text& outputPath,
                   ByteBuffer& output, bool flattenOnWhite) {
  if (bufferLength(source) < 3) return false;
  // Released in reverse: the output block's lock, the output stream, GDI+
  // itself.
  const GdiplusSession gdiplus;
  if (!gdiplus.started()) return false;  // every later step would fail: no GDI+ (its DLL missing)
  const ComPtr<IStream> outputStream =
      savedStream(gdiplus.functions(), source, encoderOf(targetFormat), flattenOnWhite);
  HGLOBAL outputBlock = nullptr;
  if (outputStream) GetHGlobalFromStream(outputStream.get(), &outputBlock);
  const LockedBlock encodedBytes(outputBlock);  // a failed save leaves a block of size 0: no address
  if (!encodedBytes.bytes()) return false;
  const SIZE_T size = GlobalSize(outputBlock);
  ByteBuffer encoded = zeroBuffer(static_cast<std::int64_t>(size));
  if (size) RtlMoveMemory(encoded.data(), encodedBytes.bytes(), size);
  if (compareText(trimSpaces(outputPath), "") != 0 && !writeFileBytes(outputPath, encoded)) return false;
  output = std::move(encoded);
  return true;
}

std::int32_t pictureWidthOf(const ByteBuffer& picture) {
  return readInt32(bufferMid(bmpFormOf(picture), 19, 4));
}

std::int32_t pictureHeightOf(const ByteBuffer& picture) {
  return readInt32(bufferMid(bmpFormOf(picture), 23, 4));
}

bool sizeIsMultipleOf4(std::int32_t* widthRead) {
  const Text jpegCopy = workingPath(kJpegCopy);
  const std::int32_t width = pictureWidthOf(readFileBytes(jpegCopy));
  if (widthRead) *widthRead = width;
  if (remainderOf(width, 4) != 0) return false;
  answerHangCheck();
  return remainderOf(pictureHeightOf(readFileBytes(jpegCopy)), 4) == 0;
}
