#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "files.h"
#include "handles.h"
#include "program_folder_lock.h"
#include "program_under_test.h"
#include "special_folder.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

// A unit's rectangle in its window's client coordinates.
void expectUnitAt(HWND unit, int left, int top, int w, int h) {
  const RECT r = ui::rectInParent(unit);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(width(r), w);
  EXPECT_EQ(height(r), h);
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program.started()) << "the main window did not appear"; }
  ProgramUnderTest program;
};

}  // namespace

TEST_F(ShellTest, MainWindowFrameSizeAndUnits) {
  HWND main = program.mainWindow();
  const RECT outer = ui::windowRect(main);
  EXPECT_EQ(width(outer), 555);
  EXPECT_EQ(height(outer), 406);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 555) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 436) / 2);  // centred for 436
  EXPECT_EQ(ui::windowText(main), "Tarvex载入背景制作【将图片拖入下方即可-右键操作】BY：Tarvex Forge");
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(GetMenu(main), nullptr);  // no menu bar

  HWND box = ui::findChild(main, "TarvexForgePictureBox");
  ASSERT_NE(box, nullptr);
  expectUnitAt(box, 2, 0, 545, 355);
  EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_BORDER);

  HWND bar = ui::findChild(main, PROGRESS_CLASSA);
  ASSERT_NE(bar, nullptr);
  expectUnitAt(bar, 2, 359, 545, 15);
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);  // full before any build
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
}

TEST_F(ShellTest, AboutIsModalClosesOnEscapeAndGivesBackTheMainWindow) {
  ASSERT_TRUE(chooseMenuItem(program, VK_END));  // "关于", the last item
  HWND about = program.window(kAboutClass);
  ASSERT_NE(about, nullptr);
  const RECT outer = ui::windowRect(about);
  EXPECT_EQ(width(outer), 375);
  EXPECT_EQ(height(outer), 123);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 375) / 2);
  EXPECT_EQ(ui::windowText(about), "关于");
  EXPECT_EQ(GetWindowLongA(about, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  // The others are disabled right after the window is shown.
  EXPECT_TRUE(ui::waitUntil([&] { return !IsWindowEnabled(program.mainWindow()); }, 3000));

  HWND label = ui::findChild(about, "TarvexForgeLabel");
  ASSERT_NE(label, nullptr);
  const std::string text = ui::windowText(label);
  EXPECT_EQ(text.rfind("1、", 0), 0u);
  EXPECT_NE(text.find("\r\n4、本软件只能制作图片的高和宽是4的倍数的图片！\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n5、开始制作后，会有一段时间等待，这取决于你的图片大小和电脑配置！"),
            std::string::npos);

  ui::pressKey(about, VK_ESCAPE);
  EXPECT_TRUE(ui::waitUntilGone(about, 5000));
  EXPECT_TRUE(IsWindowEnabled(program.mainWindow()));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

TEST_F(ShellTest, StartIsGrayedWithoutAPictureAndCannotBeChosen) {
  ASSERT_TRUE(chooseMenuItem(program, VK_HOME));  // "开始制作", the first item
  EXPECT_EQ(program.window(kBusyClass, 1500), nullptr);
  if (HWND menu = ui::waitForPopupMenu(program.processId(), 200)) ui::pressKey(menu, VK_ESCAPE);
  EXPECT_TRUE(IsWindowEnabled(program.mainWindow()));
}

TEST_F(ShellTest, RightButtonOverTheProgressBarOpensNoMenu) {
  ui::releaseRightButton(ui::findChild(program.mainWindow(), PROGRESS_CLASSA));
  EXPECT_EQ(ui::waitForPopupMenu(program.processId(), 1500), nullptr);
  POINT cursor;
  GetCursorPos(&cursor);
  ui::releaseRightButton(ui::findChild(program.mainWindow(), "TarvexForgePictureBox"));
  HWND menu = ui::waitForPopupMenu(program.processId());
  ASSERT_NE(menu, nullptr);
  const RECT at = ui::windowRect(menu);  // 3 pixels right of and below the cursor
  EXPECT_EQ(at.left, cursor.x + 3);
  EXPECT_EQ(at.top, cursor.y + 3);
  ui::pressKey(menu, VK_ESCAPE);
}

// The context-menu key and Shift+F10, typed as a user types them, open the
// right button's menu at the picture box (the cursor is elsewhere) and work
// it as menus are worked; the main window has the keys again after the
// menu, the open-file dialog, a build's message and the About window, and
// not while it is minimized.
TEST_F(ShellTest, TheMenuKeyAndShiftF10OpenTheMenuAtThePictureBox) {
  HWND main = program.mainWindow();
  const RECT box = ui::windowRect(ui::findChild(main, "TarvexForgePictureBox"));
  SetCursorPos(box.right + 40, box.bottom + 40);
  SetForegroundWindow(main);
  const auto menuByKey = [&](WORD key, WORD held = 0) -> HWND {
    if (!ui::waitUntil([&] { return GetForegroundWindow() == main; }, 5000)) return nullptr;
    ui::typeKeys({key}, held);
    return ui::waitForPopupMenu(program.processId(), 3000);
  };
  HWND menu = menuByKey(VK_F10, VK_SHIFT);
  ASSERT_NE(menu, nullptr) << "Shift+F10 opened no menu";
  EXPECT_EQ(ui::windowRect(menu).left, box.left + 3);
  EXPECT_EQ(ui::windowRect(menu).top, box.top + 3);
  ui::typeKeys({VK_HOME, VK_RETURN});  // "开始制作", grayed without a picture
  EXPECT_EQ(program.window(kBusyClass, 1000), nullptr);
  ui::typeKeys({VK_ESCAPE});
  ASSERT_TRUE(ui::waitUntilGone(menu, 3000));

  menu = menuByKey(VK_APPS);
  ASSERT_NE(menu, nullptr) << "the context-menu key opened no menu after a menu";
  ui::typeKeys({VK_HOME, VK_DOWN, VK_RETURN});  // "手动选择图片"
  HWND dialog = program.window("#32770");
  ASSERT_NE(dialog, nullptr);
  ui::confirmDialog(dialog, fixture("intake1024x768.png"));
  ASSERT_TRUE(ui::waitUntil([&] { return pictureShown(program); }, 30000));

  ASSERT_NE(menuByKey(VK_APPS), nullptr) << "no menu after the open-file dialog";
  ui::typeKeys({VK_HOME, VK_RETURN});  // "开始制作", enabled with a picture
  HWND message = messageBox(program, 120000);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(ui::messageBoxText(message), "完成，存放在您的桌面中！");
  ui::pressButton(message, IDOK);
  ASSERT_TRUE(ui::waitUntilGone(message));
  ASSERT_TRUE(ui::waitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 10000));

  ASSERT_NE(menuByKey(VK_APPS), nullptr) << "no menu after the build's message";
  ui::typeKeys({VK_END, VK_RETURN});  // "关于"
  HWND about = program.window(kAboutClass);
  ASSERT_NE(about, nullptr);
  ui::typeKeys({VK_ESCAPE});
  ASSERT_TRUE(ui::waitUntilGone(about));

  menu = menuByKey(VK_APPS);
  ASSERT_NE(menu, nullptr) << "no menu after the About window";
  ui::typeKeys({VK_ESCAPE});
  ASSERT_TRUE(ui::waitUntilGone(menu, 3000));
  ShowWindow(main, SW_MINIMIZE);
  ui::typeKeys({VK_APPS});
  EXPECT_EQ(ui::waitForPopupMenu(program.processId(), 1500), nullptr) << "a menu while minimized";
  ShowWindow(main, SW_RESTORE);
  deleteFile(specialFolder(kDesktopFolder) + kArchiveName);
}

TEST_F(ShellTest, EscapeInTheMainWindowDoesNothingAndClosingEndsWithZero) {
  ui::pressKey(program.mainWindow(), VK_ESCAPE);
  Sleep(800);
  EXPECT_TRUE(IsWindow(program.mainWindow()));
  EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
}

namespace {

// Each file of the folder (and the folder itself, whose last write shows a
// file made and removed again) with its size, last write and attributes.
std::vector<std::string> folderListing(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(widen(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    // ".." changes with the parent folder (other tests' folders come and go).
    if (found.cFileName == std::wstring(L"..")) continue;
    files.push_back(narrow(found.cFileName) + " " + std::to_string(found.nFileSizeLow) + " " +
                    std::to_string(found.ftLastWriteTime.dwLowDateTime) + " " + std::to_string(found.dwFileAttributes));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

// A window of the test's own in front, as another program's would be.
struct OtherWindowInFront {
  OtherWindowInFront()
      : window(CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr)) {
    SetForegroundWindow(window);
  }
  ~OtherWindowInFront() { DestroyWindow(window); }
  HWND window;
};

// A second start of the program by another file name in `folder` (the
// first copy's folder by any path): it must end at once (exit code 0).
DWORD startAgain(const std::string& folder) {
  ui::Process copy(quoted(folder + "\\TarvexForge (2).exe"));
  return copy.waitForExit(15000);
}

// The fixture's folder (tests/ui/folder_aliases.sh) by every path Wine can
// make to it but a share's: itself, a drive letter onto it (as subst or a
// mapped drive gives), a symbolic link, its short name.
std::vector<std::string> pathsOfTheAliasedFolder() {
  const std::string folder = TF_ALIASED_PROGRAM;
  wchar_t shortName[MAX_PATH] = {};
  GetShortPathNameW(widen(folder).c_str(), shortName, MAX_PATH);
  return {folder, std::string(TF_ALIAS_DRIVE), folder + "-link", narrow(shortName)};
}

// The fixture's folder emptied, with the program in it under two names.
// (Its aliases name the folder's path, so they reach the new one.)
std::string aliasedProgramFolder() {
  const std::string folder = TF_ALIASED_PROGRAM;
  removeFolderTree(folder);
  createFolder(folder);
  copyFile(testProgramFolder() + "\\TarvexForge.exe", folder + "\\TarvexForge.exe");
  copyFile(testProgramFolder() + "\\TarvexForge.exe", folder + "\\TarvexForge (2).exe");
  return folder;
}

}  // namespace

// One copy per program folder, however the folder is reached: a second
// start in the folder (a double double-click, a shortcut while the window
// hides behind others, a drive letter mapped onto the folder, a link, a
// short name) brings the running copy's front window forward, a message
// box where one is up, and ends without writing, changing or deleting a
// file. The lock is the same file by the share's name.
TEST(OneCopyPerFolder, ASecondStartBringsTheFirstForwardAndTouchesNothing) {
  ProgramUnderTest first(ProgramUnderTest::InPlace{aliasedProgramFolder()});
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(takeInThroughDialog(first, fixture("intake1024x768.png")));
  const std::vector<std::string> before = folderListing(first.folder());
  for (const std::string& folder : pathsOfTheAliasedFolder()) {
    SCOPED_TRACE(folder);
    const OtherWindowInFront other;
    ASSERT_EQ(GetForegroundWindow(), other.window);
    EXPECT_EQ(startAgain(folder), 0u);
    EXPECT_TRUE(ui::waitUntil([&] { return GetForegroundWindow() == first.mainWindow(); }, 3000));
  }
  EXPECT_EQ(folderListing(first.folder()), before);

  // By the share's name: no writing or deleting, reading who holds it.
  {
    const std::wstring lock = widen(std::string("\\\\") + TF_ALIAS_SERVER + "\\program" + kFolderLock);
    const FileHandle writer(CreateFileW(lock.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer) << "the lock opened for writing by the share's name";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileW(lock.c_str())) << "the lock deleted by the share's name";
    const FileHandle reader(CreateFileW(lock.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    char holder[48] = {};
    DWORD read = 0;
    EXPECT_TRUE(reader && ReadFile(reader.get(), holder, sizeof holder - 1, &read, nullptr));
    EXPECT_EQ(std::string(holder).rfind(std::to_string(first.processId()) + " ", 0), 0u) << holder;
    EXPECT_EQ(GetFileAttributesW(lock.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  }

  HWND dialog = openPictureDialog(first);  // a refusal's message box stays up
  ASSERT_NE(dialog, nullptr);
  ui::confirmDialog(dialog, fixture("intake1023x768.png"));
  ui::waitUntilGone(dialog);  // not to be taken for the message box
  HWND box = messageBox(first);
  ASSERT_NE(box, nullptr);
  {
    const OtherWindowInFront other;
    EXPECT_EQ(startAgain(std::string(TF_ALIAS_DRIVE)), 0u);
    EXPECT_TRUE(ui::waitUntil([&] { return GetForegroundWindow() == box; }, 3000));
  }
  ui::pressButton(box, IDOK);
  ui::waitUntilGone(box);
  EXPECT_EQ(first.closeAndWaitForExit(), 0u);
  EXPECT_FALSE(fileExists(first.workingFile(kFolderLock))) << "the lock outlived its copy";
}

// Copies in two folders are two programs: both run, and both build.
TEST(OneCopyPerFolder, CopiesInTwoFoldersBothRunAndBuild) {
  ProgramUnderTest first, second;
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(second.started());
  // Side by side, as a user would place them: the tests read the picture
  // boxes off the screen, and each window opens in the middle.
  SetWindowPos(first.mainWindow(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(second.mainWindow(), nullptr, 460, 320, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ProgramUnderTest* program : {&first, &second}) {
    ASSERT_TRUE(takeInThroughDialog(*program, fixture("intake1024x768.png")));
    ASSERT_TRUE(chooseMenuItem(*program, VK_HOME));
    HWND box = messageBox(*program, 120000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::messageBoxText(box), "完成，存放在您的桌面中！");
    ui::pressButton(box, IDOK);
    ui::waitUntilGone(box);
  }
  EXPECT_EQ(first.closeAndWaitForExit(), 0u);
  EXPECT_EQ(second.closeAndWaitForExit(), 0u);
  deleteFile(specialFolder(kDesktopFolder) + kArchiveName);
}

// A copy that holds the lock and shows no window this start can reach (on
// another PC or in another session, or hung) for longer than the wait:
// the second start says so and ends, having touched nothing. The test
// holds the lock as that copy would.
TEST(OneCopyPerFolder, ACopyWithoutAWindowThatKeepsTheLockIsToldOf) {
  TestFolder folder;
  ASSERT_TRUE(copyFile(testProgramFolder() + "\\TarvexForge.exe", folder / "TarvexForge.exe"));
  ProgramFolderLock elsewhere(widen(folder.path()));
  ASSERT_EQ(elsewhere.take(), ProgramFolderLock::Attempt::Taken);
  const std::vector<std::string> before = folderListing(folder.path());
  ui::Process copy(quoted(folder / "TarvexForge.exe"));
  HWND box = ui::waitForWindow(copy.id(), "#32770", nullptr, 20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ui::windowText(box), "Tarvex Forge");
  EXPECT_EQ(ui::messageBoxText(box), "本程序已经在这个文件夹中运行，请先关闭它。");
  EXPECT_EQ(ui::waitForWindow(copy.id(), kMainClass, nullptr, 0), nullptr);
  ui::pressButton(box, IDOK);
  EXPECT_EQ(copy.waitForExit(), 0u);
  EXPECT_EQ(folderListing(folder.path()), before);
}

// A copy that is closing (its windows gone, the process not yet) is waited
// for, and the new start goes on once it has ended. The test holds the
// folder's lock as that copy would.
TEST(OneCopyPerFolder, ACopyThatIsClosingIsWaitedForThenTheNewOneStarts) {
  TestFolder folder;
  ASSERT_TRUE(copyFile(testProgramFolder() + "\\TarvexForge.exe", folder / "TarvexForge.exe"));
  std::unique_ptr<ui::Process> copy;
  {
    ProgramFolderLock closing(widen(folder.path()));
    ASSERT_EQ(closing.take(), ProgramFolderLock::Attempt::Taken);
    copy = std::make_unique<ui::Process>(quoted(folder / "TarvexForge.exe"));
    EXPECT_EQ(ui::waitForWindow(copy->id(), kMainClass, nullptr, 1500), nullptr) << "it did not wait";
    EXPECT_FALSE(fileExists(folder / "ddsconv.exe"));
  }
  HWND main = ui::waitForWindow(copy->id(), kMainClass, nullptr, 15000);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(fileExists(folder / "ddsconv.exe"));
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(copy->waitForExit(), 0u);
}

namespace {

// Wine told to prefer a DLL on disk for the program, as Windows' search
// order does for a DLL that is not a known DLL (comctl32=n,b; the
// program's own entry under AppDefaults, since Wine reads WINEDLLOVERRIDES
// from the environment it was started with, not from ours).
class NativeFirst {
 public:
  explicit NativeFirst(std::vector<std::wstring> dlls) : dlls_(std::move(dlls)) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\TarvexForge.exe\\DllOverrides", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key_, nullptr);
    const wchar_t order[] = L"native,builtin";
    for (const std::wstring& dll : dlls_)
      RegSetValueExW(key_, dll.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
  }
  ~NativeFirst() {
    for (const std::wstring& dll : dlls_) RegDeleteValueW(key_, dll.c_str());
    RegCloseKey(key_);
  }
  NativeFirst(const NativeFirst&) = delete;
  NativeFirst& operator=(const NativeFirst&) = delete;

 private:
  std::vector<std::wstring> dlls_;
  HKEY key_ = nullptr;
};

}  // namespace

// A COMCTL32.dll or a GDIPLUS.dll beside the program, loaded where Windows
// would load it, never runs: the program takes the system's, shows its
// progress bar and the picture it takes in.
TEST(PlantedDll, BesideTheProgramNeverRuns) {
  const std::string planted = testProgramFolder() + "\\planted\\";
  for (const char* dll : {"comctl32.dll", "gdiplus.dll"}) ASSERT_TRUE(fileExists(planted + dll)) << dll;
  const NativeFirst nativeFirst({L"comctl32", L"gdiplus"});
  ProgramUnderTest program([&](const std::string& folder) {
    for (const char* dll : {"comctl32.dll", "gdiplus.dll"}) copyFile(planted + dll, folder + "\\" + dll);
  });
  ASSERT_TRUE(program.started());
  EXPECT_NE(ui::findChild(program.mainWindow(), PROGRESS_CLASSA), nullptr) << "no progress bar";
  EXPECT_TRUE(takeInThroughDialog(program, fixture("intake1024x768.png")));
  EXPECT_EQ(program.closeAndWaitForExit(), 0u);
  EXPECT_FALSE(fileExists(program.inFolder("planted-dll-ran.txt"))) << "the planted DLL ran inside the program";
}
