#pragma once
// The common-dialog unit: an open-file dialog with a filter and the file
// name last confirmed, shown by COMDLG32, which is loaded from the system
// folder when the dialog is first asked for (as common_controls.cpp loads
// COMCTL32).
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "text.h"

// The filter as the dialog takes it: trailing white space removed, "||"
// appended unless present, each "|" a separator (NUL-separated result).
std::string dialogFilter(const Text& filter);

struct FileDialog {
  Text filter;
  Text fileName;
};

// Shows the dialog; true and the chosen path stored when confirmed.
bool openFileDialog(FileDialog& dialog);
// The request the dialog is shown with: explorer style, no owner, the
// filter's first entry, a name buffer holding the last path and room for
// a path of any length Windows allows (the chosen path comes back through
// pathFromWindows).
struct OpenFileBuffers {
  static constexpr std::size_t kLongestPath = 32768;
  std::wstring fileName;
  std::wstring filter;
};
OPENFILENAMEW openFileRequest(const FileDialog& dialog, OpenFileBuffers& buffers);
