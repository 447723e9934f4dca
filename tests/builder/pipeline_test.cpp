// The build in process, on windows of the window layer's own pieces wired
// as the program wires its own: what cannot be seen reliably from outside
// (the progress events, a hung converter's end).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <winioctl.h>
#include <ole2.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "build_pipeline.h"
#include "carried_tools.h"
#include "files.h"
#include "handles.h"
#include "package_reader.h"
#include "special_folder.h"
#include "ui_requests.h"
#include "test_folder.h"
#include "test_windows.h"
#include "ui_driver.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

std::string inProgramDir(const char* name) { return workingPath(name); }
std::string archivePath() { return specialFolder(kDesktopFolder) + kArchiveName; }

// The main window's and the busy window's events as the program binds them:
// the carried tools come and go with the window that holds the picture box
// and the progress bar; the modal window's created event starts the build.
const WindowEvents kUnitsEvents{.created = extractTools, .mayClose = windowMayClose,
                                .aboutToBeDestroyed = removeTools, .sessionMayEnd = sessionMayEnd,
                                .sessionEnding = sessionEnding};
void startBuild() {
  startBuildWorker({.busyWindow = openWindow(modalWindowLayout())->hwnd(),
                    .pictureBox = unitsPictureBox(),
                    .progressBar = unitsProgressBar()});
}
const WindowEvents kBusyEvents{.created = startBuild, .mayClose = windowMayClose};

// The desktop's files whose names begin with the archive's: the archive
// and whatever a build left beside it.
std::vector<std::string> filesNamedLikeTheArchive() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((archivePath() + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

struct SeenMessage {
  std::string caption, text;
};

// Answers the program's message boxes on a thread of its own, after
// `beforeAnswer`.
class MessageAnswerer {
 public:
  explicit MessageAnswerer(std::function<void()> beforeAnswer = {})
      : beforeAnswer_(std::move(beforeAnswer)), thread_([this] {
          while (!done_) {
            HWND box = ui::waitForWindow(GetCurrentProcessId(), "#32770", nullptr, 100);
            if (!box) continue;
            {
              std::lock_guard<std::mutex> lock(mutex_);
              seen_.push_back({ui::windowText(box), ui::messageBoxText(box)});
            }
            if (beforeAnswer_) beforeAnswer_();
            ui::pressButton(box, IDOK);
            ui::waitUntilGone(box, 5000);
          }
        }) {}
  ~MessageAnswerer() { stop(); }
  std::vector<SeenMessage> stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  std::atomic<bool> done_{false};
  std::mutex mutex_;
  std::vector<SeenMessage> seen_;
  std::function<void()> beforeAnswer_;
  std::thread thread_;
};

// The progress bar's positions as the UI thread applies them.
struct ProgressRecord {
  std::vector<int> positions;
  bool allOnUiThread = true;
  DWORD uiThread = GetCurrentThreadId();
  WNDPROC original = nullptr;
  std::function<void(int)> onPosition;  // runs on the UI thread as it applies one
};
ProgressRecord* record = nullptr;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS) {
    record->positions.push_back(static_cast<int>(wParam));
    record->allOnUiThread = record->allOnUiThread && GetCurrentThreadId() == record->uiThread;
    if (record->onPosition) record->onPosition(static_cast<int>(wParam));
  }
  return CallWindowProcA(record->original, window, message, wParam, lParam);
}

class PipelineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { initProgramDir(); }
  void SetUp() override {
    removeOutputs();
    ASSERT_TRUE(loadWindow(unitsWindowLayout(), kUnitsEvents));  // writes the carried tools
    ASSERT_TRUE(copyFile(std::string(TF_FIXTURES) + "\\intake1024x768.png", inProgramDir(kPngCopy)));
  }
  void TearDown() override {
    unitsWindow()->destroy();
    removeOutputs();
  }
  static void removeOutputs() {
    for (const char* name : {kPngCopy, kJpegCopy, kBakCopy, kTexture, "\\hung_converter.pid", "\\strict_interpreter.log"})
      deleteFile(inProgramDir(name));
    deleteFile(archivePath());
  }
};

// "开始制作" as the menu runs it, the progress bar recorded; returns the
// messages the build showed.
std::vector<SeenMessage> buildRecording(ProgressRecord& progress, std::function<void()> beforeAnswer = {}) {
  HWND bar = unitsProgressBar();
  record = &progress;
  progress.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
  MessageAnswerer user(std::move(beforeAnswer));
  loadWindow(modalWindowLayout(), kBusyEvents, nullptr, true);  // "开始制作": returns once the build closed it
  std::vector<SeenMessage> seen = user.stop();
  SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progress.original));
  record = nullptr;
  return seen;
}

}  // namespace

TEST_F(PipelineTest, ProgressReaches25_50_75_100OnTheUiThreadAndTheBuildSucceeds) {
  ProgressRecord progress;
  const std::vector<SeenMessage> seen = buildRecording(progress);

  EXPECT_EQ(progress.positions, (std::vector<int>{25, 50, 75, 100}));
  EXPECT_TRUE(progress.allOnUiThread);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "信息：");
  EXPECT_EQ(seen[0].text, "完成，存放在您的桌面中！");
  EXPECT_EQ(filesNamedLikeTheArchive(), std::vector<std::string>{"Tarvex Forge载入背景一键制作.zip"});
  EXPECT_FALSE(fileExists(inProgramDir(kPngCopy)));
  EXPECT_FALSE(fileExists(inProgramDir(kStagingFolder)));
  EXPECT_TRUE(unitsWindow()->pictureBox()->picture().empty());
}

TEST_F(PipelineTest, AnArchiveThatFailsPartWayLeavesTheEarlierPackageAsItWas) {
  const ByteBuffer earlier = textToBuffer("an earlier good package");
  ASSERT_TRUE(writeFileBytes(archivePath(), earlier));
  // Once the note is packed, the texture in the staging tree is held open,
  // so the archiver has begun an archive and cannot finish it.
  const std::string stagedTexture = inProgramDir(kStagedTexture);
  HANDLE held = INVALID_HANDLE_VALUE;
  ProgressRecord progress;
  progress.onPosition = [&](int percent) {
    if (percent == 50)
      held = CreateFileA(stagedTexture.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  const std::vector<SeenMessage> seen = buildRecording(progress, [&] { CloseHandle(held); });
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(progress.positions, (std::vector<int>{25, 50, 75}));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "Tarvex Forge");
  EXPECT_EQ(seen[0].text, "制作失败，请重新尝试！");
  EXPECT_TRUE(readFileBytes(archivePath()).view() == earlier.view());
  EXPECT_EQ(filesNamedLikeTheArchive(), std::vector<std::string>{"Tarvex Forge载入背景一键制作.zip"});
  EXPECT_TRUE(fileExists(inProgramDir(kPngCopy)));
  removeFolderTree(inProgramDir(kStagingFolder));  // kept by the handle while the build ended
}

TEST_F(PipelineTest, AHungConverterIsEndedAtTheTimeOutWithEverythingTheScriptStarted) {
  const std::string converter = inProgramDir(kDdsConv);
  setFileAttributes(converter, FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(copyFile(testProgramFolder() + "\\hung_converter.exe", converter));
  const DWORD start = GetTickCount();
  EXPECT_FALSE(runConversion(3000));  // the stand-in as it is, not the carried converter
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 2900u);
  EXPECT_LT(elapsed, 30000u);

  DWORD pid = 0;
  std::ifstream(inProgramDir("\\hung_converter.pid")) >> pid;
  ASSERT_NE(pid, 0u) << "the stand-in converter never ran";
  if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "the converter still runs";
    CloseHandle(process);
  }
  EXPECT_FALSE(fileExists(inProgramDir(kTexture)));
}

// Another instance removed them when it closed; a virus scanner truncated
// one; an earlier version of the program left another behind.
TEST_F(PipelineTest, MissingOrChangedCarriedFilesAreWrittenAgainBeforeTheScriptRuns) {
  std::size_t count = 0;
  const CarriedFile* carried = carriedFiles(count);
  for (const char* name : {kColorEcho, kConversionScript}) ASSERT_TRUE(deleteFile(inProgramDir(name)));
  setFileAttributes(inProgramDir(kDdsConv), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(writeFileBytes(inProgramDir(kDdsConv), bufferLeft(carried[1].bytes, 4096)));
  EXPECT_TRUE(convertPicture(60000));
  for (std::size_t i = 0; i < count; ++i) {
    const std::string path = inProgramDir(carried[i].name);
    EXPECT_TRUE(readFileBytes(path).view() == carried[i].bytes.view()) << path;
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) << path;
  }
}

// The script's `for` over *.bak skips hidden files on Windows (not under
// Wine as root), and a read-only .bak could not be replaced.
TEST_F(PipelineTest, TheBakCopyIsANormalFileWhateverThePngCopyAndAnOldBakWere) {
  const std::string png = inProgramDir(kPngCopy), bak = inProgramDir(kBakCopy);
  ASSERT_TRUE(writeFileBytes(bak, textToBuffer("an old copy")));
  for (const std::string& path : {png, bak})
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(convertPicture(60000));
  EXPECT_EQ(GetFileAttributesA(bak.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
  EXPECT_TRUE(readFileBytes(bak).view() == readFileBytes(png).view());
  SetFileAttributesA(png.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The system's own command interpreter runs the script with AutoRun off
// (/d) and delayed expansion off (/v:off), its console switched to code
// page 936 first (Wine shows neither: its interpreter has no AutoRun, and
// its chcp refuses every switch here); /s /c takes the rest between its
// outer quotes as it stands. The script and its folder are named relative
// to the program folder it starts in: no folder name of the user's is
// split, or expanded once more, on the way.
TEST_F(PipelineTest, TheScriptRunsByRelativeNamesWithAutoRunAndDelayedExpansionOff) {
  wchar_t wide[MAX_PATH] = {};
  GetSystemDirectoryW(wide, MAX_PATH);
  const std::string system = narrow(wide);
  EXPECT_EQ(scriptCommandLine(), joinText(system, "\\cmd.exe /d /v:off /s /c \"\"", system,
                                          "\\chcp.com\" 936 >nul 2>&1 & \".\\PNG_To_DDS.cmd\" \".\\\"\""));
}

namespace {

// Windows opens a folder's files through a drive letter that DefineDosDevice
// put onto it; Wine lists such a letter but opens nothing through it, and
// refuses it as a new process's folder. So the test puts the letter on as
// Wine makes its own drives (a request to its mount manager, as winecfg
// makes one), onto the folder's Unix path, and keeps what it was asked.
struct WineMountRequest {  // Wine's struct mountmgr_unix_drive
  ULONG size, type, fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset, deviceOffset, labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6d, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool defineWineDrive(wchar_t letter, const std::string& unixPath) {
  std::string request(sizeof(WineMountRequest) + unixPath.size() + 1, '\0');
  auto* drive = reinterpret_cast<WineMountRequest*>(request.data());
  drive->size = static_cast<ULONG>(request.size());
  drive->type = DRIVE_FIXED;
  drive->letter = static_cast<WCHAR>(towlower(letter));
  if (!unixPath.empty()) {  // none: the drive is taken off
    drive->mountPointOffset = sizeof(WineMountRequest);
    unixPath.copy(request.data() + sizeof(WineMountRequest), unixPath.size());
  }
  const FileHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD returned = 0;
  return manager && DeviceIoControl(manager.get(), kDefineUnixDrive, request.data(), drive->size, nullptr, 0,
                                    &returned, nullptr);
}

struct AskedOfDrives {
  std::vector<std::wstring> put, takenOff;
} askedOfDrives;

bool putAsWineDoes(const std::wstring& letter, const std::wstring& folder) {
  using UnixFileName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unixPath = unixName ? unixName(folder.c_str()) : nullptr;
  const bool put = unixPath && defineWineDrive(letter[0], unixPath);
  HeapFree(GetProcessHeap(), 0, unixPath);
  if (put) askedOfDrives.put.push_back(letter);
  return put;
}

void takeOffAsWineDoes(const std::wstring& letter, const std::wstring&) {
  defineWineDrive(letter[0], "");
  askedOfDrives.takenOff.push_back(letter);
}

// Every drive letter that is free, taken by the test for as long as it lives.
class EveryLetterTaken {
 public:
  EveryLetterTaken() {
    for (wchar_t drive = L'A'; drive <= L'Z'; ++drive) {
      const std::wstring letter{drive, L':'};
      wchar_t target[MAX_PATH];
      if (!(GetLogicalDrives() & (1u << (drive - L'A'))) && !QueryDosDeviceW(letter.c_str(), target, MAX_PATH) &&
          DefineDosDeviceW(0, letter.c_str(), L"C:\\"))
        taken_.push_back(letter);
    }
  }
  ~EveryLetterTaken() {
    for (const std::wstring& letter : taken_)
      DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, letter.c_str(), L"C:\\");
  }

 private:
  std::vector<std::wstring> taken_;
};

}  // namespace

// A program folder on a network share (\\server\share: the pipeline's own
// folder by the fixture's share name). Windows' cmd.exe refuses such a
// current folder and would look for the script in the Windows folder; the
// stand-in interpreter refuses it the same way. The script runs on a
// drive letter mapped onto the folder instead, taken off afterwards, and no
// command line names the folder. Where no letter is free, nothing runs.
TEST_F(PipelineTest, AProgramFolderOnANetworkShareConvertsOnADriveLetterOfItsOwn) {
  const ScriptHost share{.folder = std::string("\\\\") + TF_ALIAS_SERVER + "\\builder",
                         .interpreter = testProgramFolder() + "\\strict_interpreter.exe",
                         .drives = {putAsWineDoes, takeOffAsWineDoes}};
  const std::string log = inProgramDir("\\strict_interpreter.log");
  askedOfDrives = {};
  EXPECT_TRUE(runConversion(60000, share)) << readText(log);
  const std::string seen = readText(log);
  ASSERT_EQ(askedOfDrives.put.size(), 1u);
  EXPECT_EQ(seen.rfind("folder=" + narrow(askedOfDrives.put[0]) + "\\\n", 0), 0u) << seen;
  EXPECT_EQ(seen.find(TF_ALIAS_SERVER, seen.find("line=")), std::string::npos) << "the folder stands in the command line";
  EXPECT_EQ(askedOfDrives.takenOff, askedOfDrives.put) << "the drive letter outlived the script";

  deleteFile(inProgramDir(kTexture));
  deleteFile(log);
  {
    const EveryLetterTaken taken;
    EXPECT_FALSE(runConversion(60000, share));
  }
  EXPECT_FALSE(fileExists(log)) << "the interpreter ran without a letter for the folder";
  EXPECT_FALSE(fileExists(inProgramDir(kTexture)));
}

TEST(PackageNote, IsFourGbkLinesJoinedByCrLfWithNothingAfterTheLast) {
  const std::string note = packageNote();
  EXPECT_EQ(note.rfind("本文件为Tarvex Forge一键制作载入背景软件制作！\r\n", 0), 0u);
  EXPECT_TRUE(note.ends_with("\r\n请支持一下作者！谢谢！"));
  EXPECT_EQ(std::count(note.begin(), note.end(), '\n'), 3);
  EXPECT_EQ(std::count(note.begin(), note.end(), '\r'), 3);
  EXPECT_EQ(note.find("\xEF\xBB\xBF"), std::string::npos);
}

namespace {

// What the build asks of the main window about the session's end, as the
// window's thread receives it. (Wine does not keep the reason Windows
// would show, so the request is what is checked.)
std::vector<std::string> holdRequests;
WNDPROC unitsWindowProc = nullptr;
LRESULT CALLBACK recordHolds(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kSessionHoldMessage) holdRequests.push_back(*reinterpret_cast<const Text*>(lParam));
  return CallWindowProcA(unitsWindowProc, window, message, wParam, lParam);
}

LRESULT queryEndSession(HWND window) { return SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); }

// What the desktop holds the moment the program has answered the end of
// its session (Windows may end it then): never an unfinished archive, and
// the earlier package as it was or the complete new one.
void expectNothingHalfWritten(const ByteBuffer& earlier) {
  const std::vector<std::string> names = filesNamedLikeTheArchive();
  EXPECT_TRUE(names.empty() || names == std::vector<std::string>{kArchiveName}) << "something half written is left";
  const ByteBuffer archive = readFileBytes(archivePath());
  if (archive.view() == earlier.view()) return;
  const auto entries = readPackageEntries(archive);
  EXPECT_TRUE(entries && entries->size() == 4) << "the earlier package is neither kept nor replaced by a whole one";
}

struct SessionEnd {
  const char* when;
  int atPercent;          // the progress at which it ends; -1: once the package is staged
  DWORD earlierHeldMs;    // another program holds the earlier package that long (the move waits)
};

}  // namespace

// Windows logs off during a build: while it archives it is asked to wait,
// with the reason, until the archive is finished or abandoned; whenever the
// session ends anyway, nothing half written stays on the desktop, and the
// carried files are gone before the program is. At each step of the
// archive: before it is begun, while it is written, while it is moved into
// place past an earlier package another program holds for 7 s.
TEST_F(PipelineTest, TheSessionsEndWaitsForTheArchiveThenLeavesNothingBehind) {
  const SessionEnd steps[] = {{"once staged", -1, 0}, {"while archiving", 50, 0}, {"while moving into place", 100, 7000}};
  for (const SessionEnd& step : steps) {
    SCOPED_TRACE(step.when);
    ASSERT_TRUE(copyFile(std::string(TF_FIXTURES) + "\\intake1024x768.png", inProgramDir(kPngCopy)));
    const ByteBuffer earlier = textToBuffer("an earlier package");
    ASSERT_TRUE(writeFileBytes(archivePath(), earlier));
    FileHandle holder;
    if (step.earlierHeldMs)  // readers only: no replacing it meanwhile
      ui::waitUntil([&] {
        holder.reset(CreateFileA(archivePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        return static_cast<bool>(holder);
      }, 5000);
    HWND main = unitsWindow()->hwnd();
    holdRequests.clear();
    unitsWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordHolds)));
    // Windows' end of the session comes from outside, while the build goes
    // on: queried, then "shut down anyway"; the desktop is looked at as
    // Windows would end the program, right after its answer.
    LRESULT mayEnd = -1;
    std::thread session, release;
    auto endSession = [&] {
      session = std::thread([&] {
        mayEnd = queryEndSession(main);
        SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        expectNothingHalfWritten(earlier);
      });
      if (step.earlierHeldMs) release = std::thread([&] { Sleep(step.earlierHeldMs); holder.reset(); });
    };
    ProgressRecord progress;
    progress.onPosition = [&](int percent) {
      if (percent == step.atPercent) endSession();
    };
    std::thread staged;
    if (step.atPercent < 0)
      staged = std::thread([&] {
        if (ui::waitUntil([&] { return fileExists(inProgramDir(kStagedDataFolder)); }, 60000)) endSession();
      });
    buildRecording(progress);
    for (std::thread* thread : {&staged, &session, &release})
      if (thread->joinable()) thread->join();
    SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(unitsWindowProc));
    if (step.atPercent == 50) {
      EXPECT_EQ(mayEnd, FALSE);  // archiving: asked to wait
      EXPECT_EQ(holdRequests, (std::vector<std::string>{"正在制作载入背景，请稍候…", ""}));
      EXPECT_LT(progress.positions.back(), 100) << "the archive was finished, not abandoned";
      EXPECT_EQ(readFileBytes(archivePath()).view(), earlier.view());
    }
    for (const char* name : {kColorEcho, kDdsConv, kConversionScript})
      EXPECT_FALSE(fileExists(inProgramDir(name))) << name;
    EXPECT_EQ(queryEndSession(main), TRUE);  // nothing to wait for now
    removeOutputs();  // the next build writes the carried files again
  }
}

// ... and when it ends before the conversion (a stale texture that another
// program holds is still being removed), nothing is begun after it: the
// carried files stay removed and no conversion is started (it would copy
// the PNG copy to the .bak first).
TEST_F(PipelineTest, TheSessionsEndBeforeTheConversionBeginsNothing) {
  const std::string stale = inProgramDir(kTexture);
  ASSERT_TRUE(writeFileBytes(stale, textToBuffer("an interrupted build's texture")));
  FileHandle holder(CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  HWND main = unitsWindow()->hwnd();
  std::thread session([&] {
    Sleep(1000);  // the worker waits for the stale texture meanwhile
    SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    holder.reset();
  });
  std::vector<std::string> leftAtTheMessage;
  ProgressRecord progress;
  buildRecording(progress, [&] {
    for (const char* name : {kColorEcho, kDdsConv, kConversionScript, kBakCopy})
      if (fileExists(inProgramDir(name))) leftAtTheMessage.push_back(name);
  });
  session.join();
  EXPECT_EQ(leftAtTheMessage, std::vector<std::string>{});
  EXPECT_TRUE(progress.positions.empty());
}

// ... and a running conversion is ended with everything the script started.
TEST_F(PipelineTest, TheSessionsEndEndsARunningConversion) {
  const std::string converter = inProgramDir(kDdsConv);
  setFileAttributes(converter, FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(copyFile(testProgramFolder() + "\\hung_converter.exe", converter));
  std::atomic<bool> converted{true};
  std::thread worker([&] { converted = runConversion(60000); });
  ASSERT_TRUE(ui::waitUntil([&] { return fileExists(inProgramDir("\\hung_converter.pid")); }, 20000));
  DWORD pid = 0;
  std::ifstream(inProgramDir("\\hung_converter.pid")) >> pid;
  const DWORD start = GetTickCount();
  SendMessageW(unitsWindow()->hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  worker.join();
  EXPECT_FALSE(converted);
  EXPECT_LT(GetTickCount() - start, 10000u);
  if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
    EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0) << "the converter still runs";
    CloseHandle(process);
  }
  for (const char* name : {kColorEcho, kDdsConv, kConversionScript}) EXPECT_FALSE(fileExists(inProgramDir(name))) << name;
}
