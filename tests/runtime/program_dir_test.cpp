#include <gtest/gtest.h>
#include <windows.h>

#include "files.h"
#include "program_dir.h"
#include "processes.h"
#include "test_folder.h"

TEST(ProgramDir, SplitsAtTheLastSeparatorOfTheCodePage) {
  // "乗" is 0x81 0x5C: its second byte must not count as a separator.
  const ExecutablePath inFolder = splitExecutablePath("C:\\Tools\\\x81\x5C" "app.exe");
  EXPECT_EQ(inFolder.directory, "C:\\Tools");
  EXPECT_EQ(inFolder.fileName, "\x81\x5C" "app.exe");
  const ExecutablePath atRoot = splitExecutablePath("C:\\TarvexForge.exe");
  EXPECT_EQ(atRoot.directory, "C:");
  EXPECT_EQ(atRoot.fileName, "TarvexForge.exe");
  const ExecutablePath bare = splitExecutablePath("app.exe");
  EXPECT_EQ(bare.directory, "");
  EXPECT_EQ(bare.fileName, "app.exe");
  // The system's code page decides: in 936 a lone 0x80 is one character;
  // on a UTF-8 or a Western system no byte starts a two-byte character, so
  // "游" (UTF-8) or "Outils\xE9" (1252) keep their separator.
  EXPECT_EQ(splitExecutablePath("C:\\a\x80\\app.exe").directory, "C:\\a\x80");
  EXPECT_EQ(splitExecutablePath("C:\\\xE6\xB8\xB8\\app.exe", CP_UTF8).directory, "C:\\\xE6\xB8\xB8");
  EXPECT_EQ(splitExecutablePath("C:\\Outils\xE9\\app.exe", 1252).directory, "C:\\Outils\xE9");
}

TEST(ProgramDir, IsTheFolderOfTheRunningProgramAndCurrent) {
  TestFolder scratch;
  // A folder whose name ends in a character whose second byte is "\".
  const std::string folder = scratch / "程序\x81\x5C";
  ASSERT_TRUE(createFolder(folder));
  const std::string copy = folder + "\\runtime_child.exe";
  ASSERT_TRUE(copyFile(childProgram(), copy));
  const std::string report = scratch / "dir.txt";
  ASSERT_TRUE(runCommandLine(quoted(copy) + " programdir " + quoted(report), true, 1));
  const std::string seen = readText(report);
  EXPECT_EQ(seen.substr(0, seen.find('|')), folder);
  // Compare case-blind: Wine may report the current directory's case as stored.
  EXPECT_EQ(lstrcmpiA(seen.substr(seen.find('|') + 1).c_str(), folder.c_str()), 0) << seen;
}
