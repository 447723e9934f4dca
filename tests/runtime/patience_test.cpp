// Files of ours that another program holds for a moment: a virus scanner,
// the indexer, cloud sync, the shell's thumbnail handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "files.h"
#include "handles.h"
#include "patience.h"
#include "test_folder.h"
#include "wide_text.h"

namespace {

// Holds the file open without sharing for `ms`, from another thread, as
// such a program does; the hold has begun when the constructor returns.
class HeldFile {
 public:
  HeldFile(const std::string& path, DWORD ms)
      : handle_(CreateFileW(widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)),
        release_([this, ms] {
          Sleep(ms);
          handle_.reset();
        }) {}
  ~HeldFile() { release_.join(); }
  bool holding() const { return static_cast<bool>(handle_); }

 private:
  FileHandle handle_;
  std::thread release_;
};

}  // namespace

TEST(Patience, AFileHeldForASecondIsReplacedOnTheWorkersPatience) {
  TestFolder scratch;
  writeText(scratch / "new", "new");
  writeText(scratch / "target", "old");
  const HeldFile held(scratch / "target", 1000);
  ASSERT_TRUE(held.holding());
  const DWORD start = GetTickCount();
  EXPECT_TRUE(patiently(Patience::Long, scratch / "target", [&] { return moveFile(scratch / "new", scratch / "target"); }));
  EXPECT_GE(GetTickCount() - start, 800u);
  EXPECT_EQ(readText(scratch / "target"), "new");
}

TEST(Patience, TheUiThreadWaitsAboutASecondThenGivesUp) {
  TestFolder scratch;
  writeText(scratch / "held", "x");
  const HeldFile held(scratch / "held", 3000);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(patiently(Patience::Brief, scratch / "held", [&] { return deleteFile(scratch / "held"); }));
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 2500u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
}

TEST(Patience, OtherFailuresAndAFolderThatRefusesWritesEndAtOnce) {
  TestFolder scratch;
  DWORD start = GetTickCount();
  EXPECT_FALSE(patiently(Patience::Long, scratch / "missing", [&] { return deleteFile(scratch / "missing"); }));
  EXPECT_LT(GetTickCount() - start, 300u);
  // The UI tests' immutable program folder (their fixture): access denied
  // on a file that exists, in a folder that takes no new file.
  const std::string program = std::string(TF_READONLY_PROGRAM) + "\\TarvexForge.exe";
  ASSERT_TRUE(fileExists(program));
  ASSERT_FALSE(folderTakesNewFiles(TF_READONLY_PROGRAM)) << "run with the readonly_program_folder fixture";
  // (A replace: Wine reports a removal there as done and keeps the file.)
  writeText(scratch / "replacement", "x");
  start = GetTickCount();
  EXPECT_FALSE(patiently(Patience::Long, program, [&] { return moveFile(scratch / "replacement", program); }));
  EXPECT_LT(GetTickCount() - start, 300u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(fileExists(program));
}
