#include "file_dialog.h"

#include <algorithm>

#include "system_dlls.h"
#include "system_path.h"
#include "wide_text.h"

std::string dialogFilter(const Text& filter) {
  std::string pairs = filter.substr(0, filter.find_last_not_of(" \t\r\n") + 1);
  if (filter.find_last_not_of(" \t\r\n") == std::string::npos) pairs.clear();
  if (pairs.size() < 2 || pairs.compare(pairs.size() - 2, 2, "||") != 0) pairs += "||";
  // Walk characters, so that a second byte of 0x7C is not taken for "|".
  for (std::size_t at = 0; at < pairs.size(); ++at) {
    if (isLeadByte(static_cast<unsigned char>(pairs[at]))) ++at;
    else if (pairs[at] == '|') pairs[at] = '\0';
  }
  return pairs;
}

OPENFILENAMEW openFileRequest(const FileDialog& dialog, OpenFileBuffers& buffers) {
  const std::wstring last = widen(dialog.fileName);
  buffers.fileName.assign(OpenFileBuffers::kLongestPath, L'\0');
  std::copy_n(last.begin(), std::min(last.size(), buffers.fileName.size() - 1), buffers.fileName.begin());
  buffers.filter = widen(dialogFilter(dialog.filter));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;  // no owner, default title and folder
  request.lpstrFilter = buffers.filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = buffers.fileName.data();
  request.nMaxFile = static_cast<DWORD>(buffers.fileName.size());
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
  return request;
}

namespace {

// COMDLG32 is loaded when the dialog is first asked for, from the system
// folder, once the program has kept later loads there: it brings COMCTL32
// (no known DLL) with it, which would otherwise be looked for beside the
// program at its start.
bool showOpenFileDialog(OPENFILENAMEW& request) {
  static const HMODULE comdlg32 = loadSystemDll(L"comdlg32.dll");
  using GetOpenFileName = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto getOpenFileName = exportOf<GetOpenFileName>(comdlg32, "GetOpenFileNameW");
  return getOpenFileName && getOpenFileName(&request);
}

}  // namespace

bool openFileDialog(FileDialog& dialog) {
  OpenFileBuffers buffers;
  OPENFILENAMEW request = openFileRequest(dialog, buffers);
  if (!showOpenFileDialog(request)) return false;
  dialog.fileName = pathFromWindows(buffers.fileName.c_str());
  return true;
}
