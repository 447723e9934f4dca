#pragma once
// The common-dialog unit: an open-file dialog with a filter and the file
// name last confirmed.
#include "text.h"

// The filter as the dialog takes it: trailing white space removed, "||"
// appended unless present, each "|" a separator (NUL-separated result).
std::string dialogFilter(const Text& filter);

struct FileDialog {
  Text filter;
  Text fileName;
};
