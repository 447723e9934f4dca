#include "shell_test_support.h"

#include <cstring>
#include <vector>

void pumpMessagesFor(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  } while (GetTickCount() - start < ms);
}

ByteBuffer solidBmp(int width, int height, COLORREF colour) {
  const int stride = (width * 3 + 3) & ~3;
  const int pixelBytes = stride * height;
  std::vector<std::uint8_t> file(54 + pixelBytes, 0);
  auto put32 = [&](int at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, 54 + pixelBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  file[26] = 1;
  file[28] = 24;
  put32(34, pixelBytes);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &file[54 + y * stride + x * 3];
      p[0] = GetBValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetRValue(colour);
    }
  return ByteBuffer(file.data(), file.size());
}

COLORREF pixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}
