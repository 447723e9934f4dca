#include "reencode.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "arithmetic.h"
#include "files.h"
#include "program_dir.h"
#include "responsiveness.h"

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
  const ByteBuffer start = bufferLeft(picture, 2);
  if (bufferLength(start) == 2 && compareBytes(start.data(), "BM", 2) == 0) return picture;
  ByteBuffer bmp;
  reencodeBytes(picture, 1, "", bmp);
  return bmp;
}

}  // namespace

bool reencodeBytes(const ByteBuffer& source, int targetFormat, const Text& outputPath,
                   ByteBuffer& output, bool flattenOnWhite) {
  if (bufferLength(source) < 3) return false;
  ULONG_PTR token = 0;
  GdiplusStartupInput startup;  // version 1, no callback, thread and codecs not suppressed
  GdiplusStartup(&token, &startup, nullptr);
  const CLSID encoder = encoderOf(targetFormat);

  bool result = false;
  IStream* sourceStream = nullptr;
  IStream* outputStream = nullptr;
  GpImage* image = nullptr;
  HGLOBAL outputBlock = nullptr;
  void* outputBytes = nullptr;
  HGLOBAL sourceBlock = GlobalAlloc(GMEM_MOVEABLE, source.size());
  void* sourceBytes = sourceBlock ? GlobalLock(sourceBlock) : nullptr;
  if (sourceBytes) {
    CreateStreamOnHGlobal(sourceBlock, FALSE, &sourceStream);
    bufferToMemory(source, sourceBytes, -1);
    GlobalUnlock(sourceBlock);
    GpBitmap* bitmap = nullptr;
    DllExports::GdipCreateBitmapFromStream(sourceStream, &bitmap);
    image = bitmap;
    if (flattenOnWhite && bitmap) {
      HBITMAP flat = nullptr;
      DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &flat, 0x00FFFFFF);
      GpBitmap* flattened = nullptr;
      DllExports::GdipCreateBitmapFromHBITMAP(flat, nullptr, &flattened);
      DllExports::GdipDisposeImage(bitmap);
      if (flat) DeleteObject(flat);
      image = flattened;
    }
    CreateStreamOnHGlobal(nullptr, TRUE, &outputStream);
    if (image && outputStream) DllExports::GdipSaveImageToStream(image, outputStream, &encoder, nullptr);
    if (outputStream) GetHGlobalFromStream(outputStream, &outputBlock);
    outputBytes = outputBlock ? GlobalLock(outputBlock) : nullptr;
    if (outputBytes) {
      const SIZE_T size = GlobalSize(outputBlock);
      ByteBuffer encoded = zeroBuffer(static_cast<std::int64_t>(size));
      if (size) RtlMoveMemory(encoded.data(), outputBytes, size);
      if (compareText(trimSpaces(outputPath), "") != 0) writeFileBytes(outputPath, encoded);
      output = encoded;
      result = true;
    }
  }
  if (outputBytes) GlobalUnlock(outputBlock);
  if (sourceStream) sourceStream->Release();
  if (outputStream) outputStream->Release();
  if (image) DllExports::GdipDisposeImage(image);
  if (sourceBlock) GlobalFree(sourceBlock);
  GdiplusShutdown(token);
  return result;
}

std::int32_t pictureWidthOf(const ByteBuffer& picture) {
  return readInt32(bufferMid(bmpFormOf(picture), 19, 4));
}

std::int32_t pictureHeightOf(const ByteBuffer& picture) {
  return readInt32(bufferMid(bmpFormOf(picture), 23, 4));
}

bool sizeIsMultipleOf4(std::int32_t* widthRead) {
  const Text jpegCopy = joinText(programDir(), "\\TarvexForge.jpg");
  const std::int32_t width = pictureWidthOf(readFileBytes(jpegCopy));
  if (widthRead) *widthRead = width;
  if (remainderOf(width, 4) != 0) return false;
  answerHangCheck();
  return remainderOf(pictureHeightOf(readFileBytes(jpegCopy)), 4) == 0;
}
