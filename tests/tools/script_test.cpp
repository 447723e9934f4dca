#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>

#include "carried_tools.h"
#include "files.h"
#include "processes.h"
#include "test_folder.h"
#include "working_files.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }

// A folder with blanks in its name holding the three carried files.
class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratch / "tools with blanks";
    ASSERT_TRUE(createFolder(folder));
    std::size_t count = 0;
    const CarriedFile* files = carriedFiles(count);
    for (std::size_t i = 0; i < count; ++i) ASSERT_TRUE(writeFileBytes(folder + files[i].name, files[i].bytes));
  }
  // Runs the script through the command interpreter, its output to a file.
  std::string runScript(const std::string& argument, const std::string& currentFolder = "") {
    const std::string log = scratch / "log.txt";
    const std::string script = quoted(folder + kConversionScript);
    const std::string given = argument.empty() ? std::string() : joinText(" ", quoted(argument));
    const std::string line = joinText("cmd.exe /c \"", script, given, " > ", quoted(log), "\"");
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &process))
      return "not started";
    WaitForSingleObject(process.hProcess, 120000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return std::string(readFileBytes(log).view());
  }
  TestFolder scratch;
  std::string folder;
};

}  // namespace

TEST(ConversionScript, IsThirtyGbkLinesWithABoxOf64Bytes) {
  std::size_t count = 0;
  const std::string text(carriedFiles(count)[2].bytes.view());
  EXPECT_NE(text.back(), '\n');
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 30u);
  for (int line = 3; line <= 10; ++line) EXPECT_EQ(lines[line - 1].size(), 69u) << line;
  EXPECT_EQ(lines[3], "echo *                    PNG图片转DDS工具                          *");
  EXPECT_EQ(lines[0], "@echo off");
  EXPECT_EQ(lines[29], "exit /b");
  // "call" expands its line's "%" once more (and doubles "^" on Windows):
  // a folder named "50% off" would lose its name. No path may pass
  // through one.
  for (const std::string& line : lines) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    std::string command = line.substr(start, 5);
    for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_FALSE(command == "call " && line.find('%') != std::string::npos) << line;
    // A tool named without its extension is looked for as .com first: a
    // colorecho.com planted beside the tools would run instead.
    for (const std::string tool : {"colorecho", "ddsconv"})
      for (std::size_t at = line.find(tool); at != std::string::npos; at = line.find(tool, at + 1))
        EXPECT_EQ(line.compare(at + tool.size(), 5, ".exe\""), 0) << line;
  }
}

TEST_F(ScriptTest, ConvertsThePngBesideEachBakInTheGivenFolder) {
  copyFile(fixture("intake1024x768.png"), folder + kPngCopy);
  copyFile(fixture("intake1024x768.png"), folder + kBakCopy);
  copyFile(fixture("pngrgba.png"), folder + "\\other.png");  // no .bak: left alone
  const std::string output = runScript(folder + "\\");
  EXPECT_TRUE(fileExists(folder + kTexture)) << output;
  EXPECT_FALSE(fileExists(folder + "\\other.dds"));
  EXPECT_NE(output.find("-nomipmap -file"), std::string::npos) << output;
  EXPECT_EQ(readFileBytes(folder + kTexture).view().substr(84, 4), "DXT3");
}

TEST_F(ScriptTest, ABakWithoutItsPngPrintsTheErrorLineAndMakesNothing) {
  copyFile(fixture("intake1024x768.png"), folder + "\\lonely.bak");
  const std::string output = runScript(folder + "\\");
  EXPECT_NE(output.find("ERROR: \"" + folder + "\\lonely.png\" isn't exist."), std::string::npos) << output;
  EXPECT_FALSE(fileExists(folder + "\\lonely.dds"));
}

TEST_F(ScriptTest, WithoutAnArgumentItWorksInTheCurrentFolder) {
  const std::string work = scratch / "work here";
  createFolder(work);
  copyFile(fixture("pngrgba.png"), work + "\\x.png");
  copyFile(fixture("pngrgba.png"), work + "\\x.bak");
  runScript("", work);
  EXPECT_TRUE(fileExists(work + "\\x.dds"));
}

TEST_F(ScriptTest, AFailedConversionPrintsItsErrorLine) {
  writeFileBytes(folder + "\\broken.png", textToBuffer("not a picture"));
  writeFileBytes(folder + "\\broken.bak", textToBuffer("x"));
  const std::string output = runScript(folder + "\\");
  EXPECT_NE(output.find("ERROR: Can't convert \"" + folder + "\\broken.png\"."), std::string::npos) << output;
  EXPECT_FALSE(fileExists(folder + "\\broken.dds"));
}
