#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "drive_letter.h"
#include "files.h"
#include "handles.h"
#include "shared_file.h"
#include "test_folder.h"
#include "wide_text.h"

TEST(RemoveFolderTree, RefusesDriveRootsAndEmptyPaths) {
  for (const char* root : {"C:", "C:\\", "  C:\\", "  C:", "Z:\\", "", "   "})
    EXPECT_FALSE(removeFolderTree(root)) << '"' << root << '"';
  EXPECT_TRUE(fileExists("C:\\windows"));  // nothing of the root was touched
}

TEST(RemoveFolderTree, RemovesNestedFoldersAndAcceptsLeadingBlanks) {
  TestFolder scratch;
  const std::string tree = scratch / "tree";
  ASSERT_TRUE(createFolder(tree));
  ASSERT_TRUE(createFolder(tree + "\\sub"));
  ASSERT_TRUE(createFolder(tree + "\\sub\\deeper"));
  writeText(tree + "\\a.txt", "a");
  writeText(tree + "\\sub\\deeper\\b.txt", "b");
  EXPECT_TRUE(removeFolderTree("  " + tree));
  EXPECT_FALSE(fileExists(tree));
}

TEST(RemoveFolderTree, LeavesDotNamedEntriesAndReportsFalse) {
  TestFolder scratch;
  const std::string tree = scratch / "tree";
  createFolder(tree);
  createFolder(tree + "\\sub");
  writeText(tree + "\\.hidden", "kept");
  writeText(tree + "\\visible.txt", "gone");
  writeText(tree + "\\sub\\x.txt", "gone");
  EXPECT_FALSE(removeFolderTree(tree));
  EXPECT_TRUE(fileExists(tree + "\\.hidden"));
  EXPECT_FALSE(fileExists(tree + "\\visible.txt"));
  EXPECT_FALSE(fileExists(tree + "\\sub"));
}

TEST(RemoveFolderTree, KeepsReadOnlyFiles) {
  TestFolder scratch;
  const std::string tree = scratch / "tree";
  createFolder(tree);
  writeText(tree + "\\locked.txt", "x");
  ASSERT_TRUE(setFileAttributes(tree + "\\locked.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(removeFolderTree(tree));
  EXPECT_TRUE(fileExists(tree + "\\locked.txt"));
  EXPECT_FALSE(deleteFile(tree + "\\locked.txt"));
  SetFileAttributesA((tree + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileExists, CountsFoldersAndWildcardMatches) {
  TestFolder scratch;
  writeText(scratch / "one.bak", "1");
  EXPECT_TRUE(fileExists(scratch.path()));
  EXPECT_TRUE(fileExists(scratch / "one.bak"));
  EXPECT_TRUE(fileExists(scratch / "*.bak"));
  EXPECT_TRUE(fileExists(scratch / "o?e.*"));
  EXPECT_FALSE(fileExists(scratch / "*.dds"));
  EXPECT_FALSE(fileExists(scratch / "missing"));
  EXPECT_FALSE(fileExists(""));
}

TEST(Files, CreateCopyDeleteAndAttributes) {
  TestFolder scratch;
  EXPECT_TRUE(createFolder(scratch / "new"));
  EXPECT_FALSE(createFolder(scratch / "new"));             // exists already
  EXPECT_FALSE(createFolder(scratch / "missing\\child"));  // one level only
  writeText(scratch / "a", "first");
  writeText(scratch / "b", "second, longer");
  EXPECT_TRUE(copyFile(scratch / "a", scratch / "b"));  // replaces the target
  EXPECT_EQ(readText(scratch / "b"), "first");
  EXPECT_FALSE(copyFile(scratch / "none", scratch / "c"));
  // Only read-only, hidden, system and archive pass the 0x27 mask.
  EXPECT_TRUE(setFileAttributes(scratch / "a", 0x06 | FILE_ATTRIBUTE_TEMPORARY));
  // (Wine reports every file with the archive bit, so that one is masked.)
  EXPECT_EQ(GetFileAttributesA((scratch / "a").c_str()) & ~FILE_ATTRIBUTE_ARCHIVE, 0x06u);
  EXPECT_TRUE(deleteFile(scratch / "a"));
  EXPECT_FALSE(deleteFile(scratch / "a"));
}

TEST(ReadFileBytes, ReadsWholeFilesAndFailsEmpty) {
  TestFolder scratch;
  writeText(scratch / "data", std::string("a\0b", 3));
  EXPECT_EQ(readFileBytes(scratch / "data").view(), std::string_view("a\0b", 3));
  writeText(scratch / "empty", "");
  EXPECT_TRUE(readFileBytes(scratch / "empty").empty());
  EXPECT_TRUE(readFileBytes(scratch / "missing").empty());
  EXPECT_TRUE(readFileBytes("").empty());
  EXPECT_TRUE(readFileBytes(scratch.path()).empty());  // a folder
}

TEST(ReadFileBytes, ShutsOutAFileAnotherHandleWrites) {
  TestFolder scratch;
  writeText(scratch / "busy", "content");
  FileHandle writer(CreateFileA((scratch / "busy").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr));
  ASSERT_TRUE(writer);
  EXPECT_TRUE(readFileBytes(scratch / "busy").empty());
  writer.reset();
  EXPECT_EQ(readFileBytes(scratch / "busy").view(), "content");
}

TEST(WriteFileBytes, WritesBuffersInOrderAndEmptiesExistingFiles) {
  TestFolder scratch;
  const std::string file = scratch / "out";
  EXPECT_TRUE(writeFileBytes(file, textToBuffer("ab"), ByteBuffer(), textToBuffer("cd")));
  EXPECT_EQ(readText(file), "abcd");
  EXPECT_TRUE(writeFileBytes(file));  // no buffers: created or emptied
  EXPECT_TRUE(fileExists(file));
  EXPECT_EQ(readText(file), "");
  EXPECT_TRUE(writeFileBytes(scratch / "fresh"));
  EXPECT_TRUE(fileExists(scratch / "fresh"));
}

TEST(WriteFileBytes, ReplacesHiddenSystemFilesAndFailsWithoutAccess) {
  TestFolder scratch;
  const std::string file = scratch / "tool.exe";
  writeText(file, "old contents");
  setFileAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(writeFileBytes(file, textToBuffer("new")));
  EXPECT_EQ(readText(file), "new");

  EXPECT_FALSE(writeFileBytes(""));
  EXPECT_FALSE(writeFileBytes(scratch / "missing\\file", textToBuffer("x")));
  FileHandle reader(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(reader);
  EXPECT_FALSE(writeFileBytes(file, textToBuffer("x")));  // shared with nobody
  reader.reset();
  EXPECT_EQ(readText(file), "new");
}

namespace {

// Another program's handle on the file, writing (a browser finishing a
// download); what the reader's pause between pieces does with it.
HANDLE otherWriter = INVALID_HANDLE_VALUE;
LONGLONG lengthAfterFirstPiece = -1;
void changeLengthOnce() {
  if (lengthAfterFirstPiece < 0) return;
  LARGE_INTEGER end;
  end.QuadPart = lengthAfterFirstPiece;
  SetFilePointerEx(otherWriter, end, nullptr, FILE_BEGIN);
  SetEndOfFile(otherWriter);
  lengthAfterFirstPiece = -1;
}

}  // namespace

// A picture the user chose is read while another program still has it
// open for writing, in pieces; one whose length changes meanwhile (grows
// or is cut) is not taken as read.
TEST(SharedFile, ReadsWhatOthersHoldOpenAndNoticesALengthThatChanges) {
  TestFolder scratch;
  const std::string path = scratch / "download.png";
  ByteBuffer content(20u << 20);  // three pieces
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 >> 3);
  ASSERT_TRUE(writeFileBytes(path, content));
  FileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  otherWriter = writer.get();

  const SharedFile file(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file.size(), content.size());
  std::uint8_t last[4] = {}, beyond[4] = {};
  EXPECT_TRUE(file.readAt(content.size() - 4, 4, last));
  EXPECT_EQ(std::memcmp(last, content.data() + content.size() - 4, 4), 0);
  EXPECT_FALSE(file.readAt(content.size() - 2, 4, beyond));
  ByteBuffer read;
  EXPECT_EQ(file.readAll(read, changeLengthOnce), SharedFile::Whole::Read);
  EXPECT_TRUE(read.view() == content.view());

  for (const LONGLONG changed : {LONGLONG(content.size()) + 1000, LONGLONG(content.size()) / 2}) {
    SCOPED_TRACE(changed);
    LARGE_INTEGER end;  // the length it had when the reader opened it
    end.QuadPart = static_cast<LONGLONG>(content.size());
    SetFilePointerEx(writer.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(writer.get());
    const SharedFile again(path);
    lengthAfterFirstPiece = changed;
    ByteBuffer partial;
    EXPECT_EQ(again.readAll(partial, changeLengthOnce), SharedFile::Whole::Changed);
    EXPECT_TRUE(partial.empty());
  }
  otherWriter = INVALID_HANDLE_VALUE;
}

// A folder on a share gets a drive letter of its own, defined in Windows'
// way (DefineDosDevice) onto exactly that folder, and only while the
// FolderOnDrive lives; a folder with a drive letter is used as it is.
TEST(FolderOnDrive, MapsALetterOntoAShareFolderForItsLifeOnly) {
  EXPECT_EQ(FolderOnDrive("C:\\windows").path(), "C:\\windows");
  std::wstring letter;
  {
    const FolderOnDrive share("\\\\server\\share\\program");
    ASSERT_EQ(share.path().size(), 3u);
    EXPECT_EQ(share.path().substr(1), ":\\");
    letter = widen(share.path().substr(0, 2));
    wchar_t target[MAX_PATH] = {};
    ASSERT_NE(QueryDosDeviceW(letter.c_str(), target, MAX_PATH), 0u);
    EXPECT_EQ(std::wstring(target), L"\\??\\UNC\\server\\share\\program");
  }
  wchar_t target[MAX_PATH] = {};
  EXPECT_EQ(QueryDosDeviceW(letter.c_str(), target, MAX_PATH), 0u) << "the letter outlived its use";
}
