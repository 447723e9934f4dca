#include <gtest/gtest.h>

#include <cstring>

#include "file_dialog.h"
#include "window.h"

TEST(FileDialogFilter, BecomesDescriptionPatternPairs) {
  EXPECT_EQ(dialogFilter("通常图片文件"), std::string("通常图片文件\0\0", 14));
  EXPECT_EQ(dialogFilter("通常图片文件  "), std::string("通常图片文件\0\0", 14));
  EXPECT_EQ(dialogFilter("A|*.a||"), std::string("A\0*.a\0\0", 7));
  EXPECT_EQ(dialogFilter(""), std::string("\0\0", 2));
  // A second byte of 0x7C inside a two-byte character is not a separator.
  EXPECT_EQ(dialogFilter("\x81\x7C"), std::string("\x81\x7C\0\0", 4));
}

TEST(FileDialogRequest, ReopensOnTheLastPathWithTheStatedOptions) {
  FileDialog dialog;
  dialog.filter = "通常图片文件";
  dialog.fileName = "C:\\图片\\a.png";
  OpenFileBuffers buffers;
  const OPENFILENAMEW request = openFileRequest(dialog, buffers);
  EXPECT_STREQ(request.lpstrFile, L"C:\\图片\\a.png");
  EXPECT_EQ(request.nMaxFile, 32768u);  // a path of any length Windows allows
  EXPECT_EQ(request.Flags, DWORD(OFN_EXPLORER | OFN_HIDEREADONLY));
  EXPECT_EQ(request.hwndOwner, nullptr);
  EXPECT_EQ(request.lpstrTitle, nullptr);
  EXPECT_EQ(request.lpstrInitialDir, nullptr);
  EXPECT_EQ(request.lpstrDefExt, nullptr);
  EXPECT_EQ(request.nFilterIndex, 1u);
  EXPECT_EQ(std::wstring(request.lpstrFilter, 8), std::wstring(L"通常图片文件\0\0", 8));
}
