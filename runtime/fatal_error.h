#pragma once
// The one service that ends the program: a message box, then exit code -1.
#include <cstddef>
#include <string_view>

#include "text.h"

// "运行时出错!" followed by the code and message parts that are present.
Text fatalErrorText(int code, std::string_view message);

[[noreturn]] void fatalError(int code, std::string_view message);

// fatalError(0, "分配 N 字节内存失败!") for the services' own buffers.
[[noreturn]] void reportAllocationFailure(std::size_t bytesAsked);
