#include "fatal_error.h"

#include <windows.h>

#include "wide_text.h"


Text fatalErrorText(int code, std::string_view message) {
  Text text = "运行时出错!\r\n\r\n";
  if (code != 0) text += joinText("错误代码：", std::to_string(code), "\r\n\r\n");
  if (!message.empty()) text += joinText("错误信息：", message, "\r\n");
  return text;
}

void fatalError(int code, std::string_view message) {
  MessageBoxW(nullptr, widen(fatalErrorText(code, message)).c_str(), widen("错误").c_str(), MB_ICONERROR);
  // ExitProcess, not exit(): no exit routine may run after a fatal error.
  ExitProcess(static_cast<UINT>(-1));
}

void reportAllocationFailure(std::size_t bytesAsked) {
  fatalError(0, joinText("分配 ", std::to_string(bytesAsked), " 字节内存失败!"));
}
