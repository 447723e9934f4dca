#include "wide_text.h"

#include <windows.h>

std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

namespace {

// WC_NO_BEST_FIT_CHARS: "✿" must not come out as some other character
// that happens to exist, as a path that names a different file.
Text toGbk(std::wstring_view text, bool* lossy) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                         "?", &usedDefault);
  Text narrowed(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, narrowed.data(), length, "?",
                      &usedDefault);
  if (lossy) *lossy = usedDefault != FALSE;
  return narrowed;
}

}  // namespace

Text narrow(std::wstring_view text) { return toGbk(text, nullptr); }

std::optional<Text> narrowExactly(std::wstring_view text) {
  bool lossy = false;
  Text narrowed = toGbk(text, &lossy);
  if (lossy) return std::nullopt;
  return narrowed;
}
