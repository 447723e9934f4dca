// A DLL named like a system DLL that is not a known DLL everywhere
// (COMCTL32.dll, or GDIPLUS.dll with PLANTED_GDIPLUS), as a web page may
// drop one into the Downloads folder beside a portable program: loaded into
// the program, it leaves a marker file beside itself. It exports what the
// program once imported from that DLL, so that an import of it loads.
#include <windows.h>

#include <string>

namespace {

void leaveMarker(HMODULE self) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(self, path, MAX_PATH);
  std::wstring marker(path);
  marker = marker.substr(0, marker.find_last_of(L'\\')) + L"\\planted-dll-ran.txt";
  HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

#ifdef PLANTED_GDIPLUS
#define NOT_THERE(name) \
  extern "C" __declspec(dllexport) int WINAPI name() { return 18; /* GdiplusNotInitialized */ }
NOT_THERE(GdiplusStartup)
NOT_THERE(GdiplusShutdown)
NOT_THERE(GdipCreateBitmapFromStream)
NOT_THERE(GdipCreateBitmapFromHBITMAP)
NOT_THERE(GdipCreateHBITMAPFromBitmap)
NOT_THERE(GdipGetImageWidth)
NOT_THERE(GdipGetImageHeight)
NOT_THERE(GdipSaveImageToStream)
NOT_THERE(GdipDisposeImage)
#else
extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }
extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) leaveMarker(instance);
  return TRUE;
}
