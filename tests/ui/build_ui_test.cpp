// The whole road of one package through the real program, and the ways a
// build must fail without harming the user's files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <squish.h>

#include "carried_tools.h"
#include "dxt_compressor.h"
#include "dxt_quality.h"
#include "files.h"
#include "package_reader.h"
#include "png_input.h"
#include "program_under_test.h"
#include "special_folder.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }
std::string archivePath() { return specialFolder(kDesktopFolder) + kArchiveName; }

const char kNote[] =
    "本文件为Tarvex Forge一键制作载入背景软件制作！\r\n"
    "作者：Tarvex Forge  联系电话：暂无\r\n"
    "发布：Tarvex Forge  群号：暂无\r\n"
    "请支持一下作者！谢谢！";

const std::vector<std::string> kEntries{"Data/", "Data/Tarvex Forge.txt", "Data/LoadingScreen/",
                                        "Data/LoadingScreen/SRBackground.dds"};

BOOL CALLBACK findVisibleIcon(HWND child, LPARAM found) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      SendMessageA(child, STM_GETICON, 0, 0) != 0)
    *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

struct Message {
  std::string caption, text;
  bool icon = false;
};

// The program's next message box, read and dismissed.
Message answerMessage(HWND box) {
  Message seen{ui::windowText(box), ui::messageBoxText(box)};
  EnumChildWindows(box, findVisibleIcon, reinterpret_cast<LPARAM>(&seen.icon));
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  return seen;
}

// "开始制作" and the message that ends the build; the busy window must be
// gone afterwards.
Message buildAndAnswer(const ProgramUnderTest& program) {
  if (!chooseMenuItem(program, VK_HOME)) return {};
  HWND busy = program.window(kBusyClass, 15000);
  HWND box = messageBox(program, 120000);
  if (!busy || !box) return {};
  const Message seen = answerMessage(box);
  EXPECT_TRUE(ui::waitUntilGone(busy, 10000)) << "the busy window stays";
  return seen;
}

std::vector<std::string> entryNames(const ByteBuffer& archive) {
  std::vector<std::string> names;
  if (auto entries = readPackageEntries(archive))
    for (const PackageEntry& entry : *entries) names.push_back(entry.name);
  return names;
}

ByteBuffer entryBytes(const ByteBuffer& archive, const std::string& name) {
  if (auto entries = readPackageEntries(archive))
    for (const PackageEntry& entry : *entries)
      if (entry.name == name) return readPackageEntry(archive, entry).value_or(ByteBuffer());
  return ByteBuffer();
}

void removeDesktopArchive() {
  makeNormalFile(archivePath());
  deleteFile(archivePath());
  RemoveDirectoryW(widen(archivePath()).c_str());
}

// The user's desktop in another folder for as long as it lives, as folder
// redirection or a cloud drive's desktop backup sets it (User Shell
// Folders): programs started meanwhile put their archive there.
class RedirectedDesktop {
 public:
  explicit RedirectedDesktop(const std::string& folder) {
    RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    DWORD bytes = sizeof previous_;
    if (RegQueryValueExW(key_, L"Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(previous_), &bytes) != 0)
      previous_[0] = 0;
    set(widen(folder));
  }
  ~RedirectedDesktop() {
    set(previous_);
    RegCloseKey(key_);
  }
  RedirectedDesktop(const RedirectedDesktop&) = delete;
  RedirectedDesktop& operator=(const RedirectedDesktop&) = delete;

 private:
  static constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  void set(const std::wstring& folder) {
    RegSetValueExW(key_, L"Desktop", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }
  HKEY key_ = nullptr;
  wchar_t previous_[MAX_PATH] = {};
};

class BuildUiTest : public ::testing::Test {
 protected:
  void SetUp() override { removeDesktopArchive(); }
  void TearDown() override { removeDesktopArchive(); }
};

}  // namespace

TEST_F(BuildUiTest, ThePictureBecomesAPackageOnTheDesktop) {
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intake1024x768.png")));

  ASSERT_TRUE(chooseMenuItem(program, VK_HOME));
  HWND busy = program.window(kBusyClass, 15000);
  ASSERT_NE(busy, nullptr);
  // The others are disabled right after the busy window is shown.
  EXPECT_TRUE(ui::waitUntil([&] { return !IsWindowEnabled(program.mainWindow()); }, 3000));
  HWND box = messageBox(program, 120000);
  ASSERT_NE(box, nullptr);
  // The build still runs while its message is up: no close request but its
  // own may end the busy window, and the main window stays too.
  ui::pressKey(busy, VK_ESCAPE);
  PostMessageA(busy, WM_CLOSE, 0, 0);
  PostMessageA(busy, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(program.mainWindow(), WM_CLOSE, 0, 0);
  PostMessageA(program.mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Sleep(500);
  EXPECT_TRUE(IsWindow(busy));
  EXPECT_TRUE(IsWindow(program.mainWindow()));
  const Message seen = answerMessage(box);
  EXPECT_EQ(seen.caption, "信息：");
  EXPECT_EQ(seen.text, "完成，存放在您的桌面中！");
  EXPECT_FALSE(seen.icon);
  EXPECT_TRUE(ui::waitUntilGone(busy, 10000));
  EXPECT_TRUE(ui::waitUntil([&] { return IsWindowEnabled(program.mainWindow()) != FALSE; }, 5000));
  EXPECT_EQ(SendMessageA(ui::findChild(program.mainWindow(), PROGRESS_CLASSA), PBM_GETPOS, 0, 0), 100);

  const ByteBuffer archive = readFileBytes(archivePath());
  ASSERT_FALSE(archive.empty());
  copyFile(archivePath(), std::string(TF_PACKAGE_OUT) + "\\road.zip");  // for the independent readers
  EXPECT_EQ(entryNames(archive), kEntries);
  EXPECT_EQ(entryBytes(archive, "Data/Tarvex Forge.txt").view(), std::string_view(kNote));
  const ByteBuffer texture = entryBytes(archive, "Data/LoadingScreen/SRBackground.dds");
  ASSERT_EQ(texture.size(), 128u + 256 * 192 * 16);
  RgbaPicture source;
  std::string reason;
  ASSERT_TRUE(readPngRgba(fixture("intake1024x768.png"), source, reason));
  const std::vector<std::uint8_t> blocks(texture.data() + 128, texture.data() + texture.size());
  EXPECT_TRUE(blocks == compressDxt(source, DxtFormat::Dxt3, 1)) << "not the converter's texture of the picture";
  EXPECT_GT(dxtRgbPsnr(source, blocks.data(), squish::kDxt3), 38.0);

  for (const char* name : {kPngCopy, kJpegCopy, kBakCopy, kTexture, kStagingFolder})
    EXPECT_FALSE(fileExists(program.workingFile(name))) << name;
  EXPECT_TRUE(ui::waitUntil([&] { return !pictureShown(program); }, 5000));
  // Nothing left to build: "开始制作" is grayed again.
  ASSERT_TRUE(chooseMenuItem(program, VK_HOME));
  EXPECT_EQ(program.window(kBusyClass, 1500), nullptr);
  if (HWND menu = ui::waitForPopupMenu(program.processId(), 200)) ui::pressKey(menu, VK_ESCAPE);
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

// A WebP saved from a browser, with alpha, becomes a package as a PNG with
// alpha does: the texture's colours and its alpha are the picture's (as
// ImageMagick decodes the WebP).
TEST_F(BuildUiTest, AWebpPictureBecomesAPackageOfItsPictureAndAlpha) {
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intakealpha.webp")));
  const Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "完成，存放在您的桌面中！");
  const ByteBuffer texture = entryBytes(readFileBytes(archivePath()), "Data/LoadingScreen/SRBackground.dds");
  ASSERT_EQ(texture.size(), 128u + 256 * 192 * 16);
  const ByteBuffer reference = readFileBytes(fixture("intakealpha.webp.rgba"));
  ASSERT_EQ(reference.size(), 1024u * 768 * 4);
  const RgbaPicture source{1024, 768, std::vector<std::uint8_t>(reference.data(), reference.data() + reference.size())};
  const std::uint8_t* blocks = texture.data() + 128;
  EXPECT_GT(dxtRgbPsnr(source, blocks, squish::kDxt3), 38.0);
  int worstAlpha = 0;  // DXT3 keeps 4 bits of each pixel's alpha, the first 8 bytes of its block
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      const std::uint8_t* block = blocks + 16 * ((y / 4) * 256 + x / 4);
      const int index = (y % 4) * 4 + x % 4;
      const int alpha = ((block[index / 2] >> (4 * (index % 2))) & 0x0F) * 17;
      worstAlpha = std::max(worstAlpha, std::abs(alpha - source.rgba[4 * (y * 1024 + x) + 3]));
    }
  EXPECT_LE(worstAlpha, 8);
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(BuildUiTest, AFailedConversionKeepsThePictureAndAStaleTextureNeverCounts) {
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intake1024x768.png")));
  // The conversion made to fail: a PNG working copy that is no picture.
  const ByteBuffer picture = readFileBytes(program.workingFile(kPngCopy));
  ASSERT_TRUE(writeFileBytes(program.workingFile(kPngCopy), textToBuffer("not a picture")));
  // A texture left behind by an interrupted build.
  writeText(program.workingFile(kTexture), "an earlier picture's texture");

  const Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.caption, "Tarvex Forge");
  EXPECT_EQ(seen.text, "制作失败，请重新尝试！");
  EXPECT_TRUE(seen.icon);
  EXPECT_TRUE(ui::waitUntil([&] { return IsWindowEnabled(program.mainWindow()) != FALSE; }, 5000));
  EXPECT_TRUE(fileExists(program.workingFile(kPngCopy)));
  for (const char* name : {kJpegCopy, kBakCopy, kTexture, kStagingFolder})
    EXPECT_FALSE(fileExists(program.workingFile(name))) << name;
  EXPECT_FALSE(fileExists(archivePath()));
  EXPECT_TRUE(pictureShown(program));

  // Once the fault is gone the same picture builds without being chosen
  // anew; a converter that went missing meanwhile is written again first.
  ASSERT_TRUE(writeFileBytes(program.workingFile(kPngCopy), picture));
  ASSERT_TRUE(deleteFile(program.workingFile(kDdsConv)));
  const Message second = buildAndAnswer(program);
  EXPECT_EQ(second.text, "完成，存放在您的桌面中！");
  EXPECT_EQ(entryNames(readFileBytes(archivePath())), kEntries);
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

// A program folder with every character a command line or script may trip
// on: blanks and "&" (unquoted, Windows' command interpreter splits the
// script's command line at either), "%" and "^" (expanded, or doubled on
// Windows, once more by a "call"), parentheses (inside the script's blocks)
// and "!" (lost under delayed expansion). Wine shows the "%" and "!" cases.
TEST_F(BuildUiTest, AFolderWithEveryHardCharacterStaleStagingAndTheUsersOwnFiles) {
  ProgramUnderTest program(
      [](const std::string& folder) {
        // An interrupted build's staging tree; the picture itself beside the
        // program; the user's own files named like another picture.
        for (const char* staged : {kStagingFolder, kStagedDataFolder, kStagedScreenFolder})
          createFolder(folder + staged);
        writeText(folder + kStagedNote, "stale note");
        writeText(folder + kStagedTexture, "stale texture");
        copyFile(fixture("intake1024x768.png"), folder + "\\my picture.png");
        writeText(folder + "\\intake.bak", "the user's backup");
        writeText(folder + "\\intake.dds", "the user's texture");
      },
      "50% off (x86) & a^b wow!");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, program.inFolder("my picture.png")));
  Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "完成，存放在您的桌面中！");
  EXPECT_EQ(entryNames(readFileBytes(archivePath())), kEntries);
  const ByteBuffer package = readFileBytes(archivePath());
  EXPECT_EQ(entryBytes(package, "Data/LoadingScreen/SRBackground.dds").view().substr(0, 4), "DDS ");
  EXPECT_EQ(entryBytes(package, "Data/Tarvex Forge.txt").view(), std::string_view(kNote));
  EXPECT_TRUE(readFileBytes(program.inFolder("my picture.png")).view() ==
              readFileBytes(fixture("intake1024x768.png")).view()) << "the picture itself was removed";
  EXPECT_FALSE(fileExists(program.workingFile(kStagingFolder)));

  // A picture from elsewhere whose base name matches the user's files.
  const std::string elsewhere = program.folder() + "\\..\\intake.png";
  ASSERT_TRUE(copyFile(fixture("intake1024x768.png"), elsewhere));
  ASSERT_TRUE(takeInThroughDialog(program, elsewhere));
  seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "完成，存放在您的桌面中！");
  EXPECT_EQ(readText(program.inFolder("intake.bak")), "the user's backup");
  EXPECT_EQ(readText(program.inFolder("intake.dds")), "the user's texture");

  // A "zip" folder of the user's own beside the program is never removed.
  ASSERT_TRUE(takeInThroughDialog(program, elsewhere));
  createFolder(program.workingFile(kStagingFolder));
  writeText(program.workingFile(kStagingFolder) + "\\notes.txt", "the user's notes");
  seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "制作失败，请重新尝试！");
  EXPECT_EQ(readText(program.workingFile(kStagingFolder) + "\\notes.txt"), "the user's notes");
  EXPECT_TRUE(fileExists(program.workingFile(kPngCopy)));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
  removeFolderTree(program.workingFile(kStagingFolder));
}

// A program folder named like an environment variable ("%WINDIR%"), which
// a command line naming the folder would have expanded, even once; and
// programs planted beside the carried tools as colorecho.com and
// ddsconv.com (for a name without its extension, the interpreter tries
// .com before .exe): the package is made, and neither runs.
TEST_F(BuildUiTest, AFolderNamedLikeAVariableWithProgramsPlantedBesideTheTools) {
  ProgramUnderTest program(
      [](const std::string& folder) {
        for (const char* planted : {"\\colorecho.com", "\\ddsconv.com"})
          copyFile(testProgramFolder() + "\\planted_tool.exe", folder + planted);
      },
      "%WINDIR%");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intake1024x768.png")));
  EXPECT_EQ(buildAndAnswer(program).text, "完成，存放在您的桌面中！");
  EXPECT_EQ(entryNames(readFileBytes(archivePath())), kEntries);
  for (const char* marker : {"colorecho.com-ran.txt", "ddsconv.com-ran.txt"})
    EXPECT_FALSE(fileExists(program.inFolder(marker))) << marker;
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(BuildUiTest, AnArchiveThatCannotBeWrittenIsAFailureAndAnEarlierPackageSurvives) {
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intake1024x768.png")));

  ASSERT_TRUE(CreateDirectoryA(archivePath().c_str(), nullptr));  // a folder of the archive's name
  Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "制作失败，请重新尝试！");
  EXPECT_EQ(GetFileAttributesA(archivePath().c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(fileExists(program.workingFile(kPngCopy)));
  for (const char* name : {kJpegCopy, kBakCopy, kTexture, kStagingFolder})
    EXPECT_FALSE(fileExists(program.workingFile(name))) << name;
  ASSERT_TRUE(RemoveDirectoryA(archivePath().c_str()));

  // An earlier package, held open without sharing.
  ASSERT_TRUE(writeFileBytes(archivePath(), textToBuffer("an earlier package"))) << GetLastError();
  // The desktop's shell may be reading the new file for its icon a moment.
  HANDLE held = INVALID_HANDLE_VALUE;
  ui::waitUntil([&] {
    held = CreateFileA(archivePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return held != INVALID_HANDLE_VALUE;
  }, 5000);
  ASSERT_NE(held, INVALID_HANDLE_VALUE) << GetLastError();
  seen = buildAndAnswer(program);
  CloseHandle(held);
  EXPECT_EQ(seen.text, "制作失败，请重新尝试！");
  EXPECT_EQ(readText(archivePath()), "an earlier package");
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

// A desktop on a full disk (a 1.6 MB disk of the CTest fixture
// unusual_program_folders, beside an earlier 1 MB package): the archive
// of a picture of noise cannot be written whole. The build fails, the
// earlier package is as it was, and nothing half written stays on either
// disk; the picture stays chosen.
TEST_F(BuildUiTest, ADesktopOnAFullDiskFailsTheBuildAndKeepsTheEarlierPackage) {
  const std::string desktop = std::string(TF_FULL_DISKS) + "\\desktop";
  const std::string earlierPath = desktop + "\\" + kArchiveName;
  ByteBuffer earlier(1u << 20);
  for (std::size_t i = 0; i < earlier.size(); ++i) earlier[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
  ASSERT_TRUE(writeFileBytes(earlierPath, earlier)) << "no room for the earlier package: " << GetLastError();
  const RedirectedDesktop redirected(desktop);
  ProgramUnderTest program;
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(takeInThroughDialog(program, fixture("intakenoise.jpg")));
  const Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.text, "制作失败，请重新尝试！");
  EXPECT_TRUE(readFileBytes(earlierPath).view() == earlier.view()) << "the earlier package changed";
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(widen(desktop + "\\*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::vector<std::string> names;
  do {
    if (found.cFileName[0] != L'.') names.push_back(narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(names, std::vector<std::string>{kArchiveName}) << "something half written stays";
  for (const char* name : {kBakCopy, kTexture, kStagingFolder})
    EXPECT_FALSE(fileExists(program.workingFile(name))) << name;
  EXPECT_TRUE(fileExists(program.workingFile(kPngCopy)));
  EXPECT_TRUE(pictureShown(program));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
  deleteFile(earlierPath);
}

// On a Windows whose code page is not 936 (road_under_code_page_1252 runs
// this with Wine's locale C.UTF-8, code page 1252; the ordinary run skips
// it), the windows and messages read as on a Chinese Windows, a program
// and pictures in folders with Chinese names work, and the archive and the
// note have their right names and bytes. Texts are read through UTF-16.
TEST_F(BuildUiTest, OnAnotherCodePageTheRoadReadsAsOnAChineseWindows) {
  if (GetACP() == 936) GTEST_SKIP() << "runs under another code page: road_under_code_page_1252";
  ProgramUnderTest program({}, "载入背景 & 程序");
  ASSERT_TRUE(program.started());
  EXPECT_EQ(ui::windowText(program.mainWindow()), "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge");

  const std::string refused = program.inFolder("宽1023.png");
  ASSERT_TRUE(copyFile(fixture("intake1023x768.png"), refused));
  HWND dialog = openPictureDialog(program);
  ASSERT_NE(dialog, nullptr);
  ui::confirmDialog(dialog, refused);
  HWND box = messageBox(program);
  ASSERT_NE(box, nullptr);
  const Message wrongSize = answerMessage(box);
  EXPECT_EQ(wrongSize.caption, "Tarvex Forge");
  EXPECT_EQ(wrongSize.text, "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！");

  const std::string picture = program.inFolder("图片.png");
  ASSERT_TRUE(copyFile(fixture("intake1024x768.png"), picture));
  ASSERT_TRUE(takeInThroughDialog(program, picture));
  const Message seen = buildAndAnswer(program);
  EXPECT_EQ(seen.caption, "信息：");
  EXPECT_EQ(seen.text, "完成，存放在您的桌面中！");
  // The archive by the name Windows lists on the desktop.
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(widen(specialFolder(kDesktopFolder) + "Tarvex*.zip").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_EQ(narrow(found.cFileName), "Tarvex Forge载入背景一键制作.zip");
  const ByteBuffer archive = readFileBytes(archivePath());
  EXPECT_EQ(entryNames(archive), kEntries);
  EXPECT_EQ(entryBytes(archive, "Data/Tarvex Forge.txt").view(), std::string_view(kNote));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}
