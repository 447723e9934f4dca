#include "other_copy.h"

#include <string>

#include "handles.h"
#include "program_folder_lock.h"
#include "system_path.h"

namespace {

// The folder of the process's executable, as folderKey gives it; empty
// where the process cannot be asked.
std::wstring processFolderKey(DWORD processId) {
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  wchar_t image[32768];
  DWORD length = 32768;
  if (!process || !QueryFullProcessImageNameW(process.get(), 0, image, &length)) return {};
  std::wstring path(image, length);
  const std::size_t separator = path.find_last_of(L'\\');
  if (separator == std::wstring::npos) return {};
  return folderKey(pathFromWindows(path.substr(0, separator)));
}

struct Search {
  std::wstring folder;
  HWND messageBox = nullptr, enabled = nullptr, any = nullptr;
};

bool isMessageBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770";
}

// Top-level windows in z-order, the front first.
BOOL CALLBACK considerWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (!IsWindowVisible(window) || processId == GetCurrentProcessId() || processFolderKey(processId) != search->folder)
    return TRUE;
  if (!search->messageBox && isMessageBox(window)) search->messageBox = window;
  if (!search->enabled && IsWindowEnabled(window)) search->enabled = window;
  if (!search->any) search->any = window;
  return TRUE;
}

}  // namespace

HWND frontWindowOfCopyIn(const Text& folder) {
  Search search{folderKey(folder)};
  EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
  return search.messageBox ? search.messageBox : search.enabled ? search.enabled : search.any;
}

void bringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}
