#include <gtest/gtest.h>

#include "carried_tools.h"
#include "files.h"
#include "program_under_test.h"
#include "working_files.h"

namespace {

void expectCarriedFilesIn(const std::string& folder) {
  std::size_t count = 0;
  const CarriedFile* files = carriedFiles(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string path = folder + files[i].name;
    EXPECT_EQ(readFileBytes(path).view(), files[i].bytes.view()) << path;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        << path;
  }
}

}  // namespace

TEST(CarriedTools, ArePresentHiddenWhileTheMainWindowLivesAndGoneAfter) {
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  expectCarriedFilesIn(program.folder());
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
  for (const char* name : {kColorEcho, kDdsConv, kConversionScript})
    EXPECT_FALSE(fileExists(program.workingFile(name))) << name;
}

TEST(CarriedTools, AStaleHiddenCopyIsReplaced) {
  ProgramUnderTest program([](const std::string& folder) {
    writeFileBytes(folder + kDdsConv, textToBuffer("left behind by an earlier run"));
    setFileAttributes(folder + kDdsConv, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  });
  ASSERT_TRUE(program.started());
  expectCarriedFilesIn(program.folder());
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}
