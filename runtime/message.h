#pragma once
// Message boxes with no owner window.
#include <optional>

#include "text.h"

// The style handed to MessageBoxA: MB_TASKMODAL added unless MB_SYSTEMMODAL.
unsigned messageBoxStyle(unsigned style);
// MessageBoxA's button id mapped to the result (IDOK 0, IDCANCEL 1, ...).
int messageResult(int buttonId);

// Waits until the box is dismissed. The caption defaults to "信息：".
int showMessage(const Text& content, unsigned style, std::optional<Text> caption = std::nullopt);
