#include "message.h"

#include <windows.h>

#include "wide_text.h"

unsigned messageBoxStyle(unsigned style) {
  return (style & MB_SYSTEMMODAL) ? style : style | MB_TASKMODAL;
}

int messageResult(int buttonId) {
  return (buttonId >= IDOK && buttonId <= IDNO) ? buttonId - 1 : 0;
}

int showMessage(const Text& content, unsigned style, std::optional<Text> caption) {
  const Text shownCaption = caption.value_or("信息：");
  return messageResult(MessageBoxW(nullptr, widen(content).c_str(), widen(shownCaption).c_str(),
                                   messageBoxStyle(style)));
}
