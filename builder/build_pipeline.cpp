#include "build_pipeline.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "carried_tools.h"
#include "drive_letter.h"
#include "files.h"
#include "folder_archiver.h"
#include "message.h"
#include "patience.h"
#include "processes.h"
#include "program_dir.h"
#include "responsiveness.h"
#include "special_folder.h"
#include "staging_tree.h"
#include "ui_requests.h"
#include "working_files.h"

namespace {

constexpr char kCaption[] = "Tarvex Forge";
constexpr char kSucceeded[] = "完成，存放在您的桌面中！";
constexpr char kFailed[] = "制作失败，请重新尝试！";
constexpr unsigned kScriptTimeoutMs = 10 * 60 * 1000;  // a hung converter must not hang the program
constexpr int kHidden = 1;                              // show mode: window hidden
constexpr char kArchivingReason[] = "正在制作载入背景，请稍候…";  // Windows shows it at log-off
// Windows ends a program once it has answered the session's end. The answer
// waits for the archive to be finished or abandoned: as long as its move
// into place may be patient, and the removal of an abandoned one after it.
constexpr DWORD kSessionEndWaitMs = patienceBudgetMs(Patience::Long) + patienceBudgetMs(Patience::Brief) + 1000;

// Set while a build runs, from its start until its own close request.
std::atomic<bool> buildRunning{false};

// What the end of a Windows session needs of a build: the job its
// conversion runs in, to end it, and whether it is archiving, to wait for
// that to be finished or abandoned. Shared by the worker and the UI thread.
struct SessionState {
  ProcessJob conversionJob;
  std::atomic<bool> archiving{false};
  std::atomic<bool> abandon{false};  // the archiver stops at its next step
  // The worker writes the carried files again under it, the end removes
  // them under it: none is written again once the end has been noticed.
  std::mutex carriedFiles;
};
SessionState& session() {
  static SessionState state;
  return state;
}

// Archiving under way: Windows is asked to wait for the main window, with
// the reason, until the archive is finished or abandoned.
class ArchivingHold {
 public:
  explicit ArchivingHold(HWND mainWindow) : window_(mainWindow) {
    session().archiving = true;
    holdSessionEnd(window_, kArchivingReason);
  }
  ~ArchivingHold() {
    holdSessionEnd(window_, "");
    session().archiving = false;
  }
  ArchivingHold(const ArchivingHold&) = delete;
  ArchivingHold& operator=(const ArchivingHold&) = delete;

 private:
  HWND window_;
};

Text quotedPath(const Text& path) { return joinText("\"", path, "\""); }

// Files of ours on the worker: patient with a program that holds one for a
// moment (a virus scanner, the indexer, cloud sync, the shell).
void removeWorkingFile(const char* name) {
  const Text path = workingPath(name);
  patiently(Patience::Long, path, [&] { return deleteFile(path); });
}

void removeStagingTree() {
  const Text folder = workingPath(kStagingFolder);
  patiently(Patience::Long, folder, [&] { return removeFolderTree(folder) || !fileExists(folder); });
}

DWORD WINAPI buildWorker(void* windows) {
  const BuildWindows owned = *static_cast<BuildWindows*>(windows);
  delete static_cast<BuildWindows*>(windows);
  buildPackage(owned);
  return 0;
}

// A texture or staging tree left by an interrupted build must neither count
// as this build's result nor go into its package. A "\zip" folder with
// anything else in it is the user's own: it is left alone, and the build
// cannot run.
bool removeStaleOutputs() {
  if (!holdsOnlyStagedFiles(workingPath(kStagingFolder))) return false;
  removeWorkingFile(kTexture);
  removeStagingTree();
  return !fileExists(workingPath(kTexture)) && !fileExists(workingPath(kStagingFolder));
}

// The texture moves into the staging tree instead of being copied (some
// megabytes): the build removes it afterwards either way.
bool placeTexture() {
  return moveFile(workingPath(kTexture), workingPath(kStagedTexture)) ||
         copyFile(workingPath(kTexture), workingPath(kStagedTexture));
}

bool stagePackage() {
  for (const char* folder : {kStagingFolder, kStagedDataFolder, kStagedScreenFolder})
    if (!createFolder(workingPath(folder))) return false;
  return writeFileBytes(workingPath(kStagedNote), textToBuffer(packageNote())) && placeTexture();
}

// Moves the finished archive onto its name. The desktop's shell opens a new
// file there for a moment (for its icon), cloud sync may be uploading the
// earlier one: the move is patient.
bool moveIntoPlace(const Text& finished, const Text& archive) {
  return patiently(Patience::Long, archive, [&] { return moveFile(finished, archive); });
}

// The staging tree onto the desktop. The archive is written beside its name
// and takes that name only once it is complete: an earlier good package
// survives every build that fails.
bool archivePackage(HWND progressBar) {
  const Text desktop = specialFolder(kDesktopFolder);
  if (desktop.empty()) return false;
  const Text archive = joinText(desktop, kArchiveName);
  const Text partial = joinText(archive, kUnfinishedArchiveSuffix);
  const ArchivingHold hold(GetAncestor(progressBar, GA_ROOT));
  // The session may have ended before the hold: then nothing is begun on
  // the desktop. (The hold is marked before this is read, and the end marks
  // the abandonment before it looks for a hold: one of the two sees the
  // other.)
  if (session().abandon) return false;
  FolderArchiver archiver;
  // ZIP压缩1's progress event: the main window's progress bar (showProgress).
  archiver.archiveProgress = [progressBar](int percent) { setProgressPosition(progressBar, percent); };
  archiver.abandoned = &session().abandon;
  const bool archived =
      archiver.compressFolder(workingPath(kStagingFolder), partial) == 1 && moveIntoPlace(partial, archive);
  // Within the session end's wait when it has ended.
  const Patience removal = session().abandon ? Patience::Brief : Patience::Long;
  if (!archived) patiently(removal, partial, [&] { return deleteFile(partial); });
  return archived;
}

bool makePackage(HWND progressBar) {
  if (!removeStaleOutputs() || !convertPicture(kScriptTimeoutMs)) return false;
  const bool archived = stagePackage() && archivePackage(progressBar);
  removeStagingTree();
  return archived;
}

void finishSucceeded(HWND pictureBox) {
  showMessage(kSucceeded, MB_OK);
  for (const char* name : {kPngCopy, kBakCopy, kTexture, kJpegCopy}) removeWorkingFile(name);
  showPicture(pictureBox, ByteBuffer());  // nothing left to build from
}

// The PNG working copy, the picture and sourceImagePath stay, so the user
// can start again at once.
void finishFailed() {
  showMessage(kFailed, MB_ICONINFORMATION, Text(kCaption));
  for (const char* name : {kJpegCopy, kBakCopy, kTexture}) removeWorkingFile(name);
}

// Waits for the worker to stop archiving, answering the messages it sends
// this thread meanwhile (its progress, its hold's end).
void waitWhileArchiving(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (session().archiving && GetTickCount() - start < timeoutMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
    answerHangCheck();
  }
}

// The close request goes first: once the build is marked finished, a
// user's close may destroy the busy window, and closeWindow would then
// reach for a window object that is gone.
void endBuild(HWND busyWindow) {
  requestClose(busyWindow);
  buildRunning = false;
}

}  // namespace

Text packageNote() {
  return "本文件为Tarvex Forge一键制作载入背景软件制作！\r\n"
         "作者：Tarvex Forge  联系电话：暂无\r\n"
         "发布：Tarvex Forge  群号：暂无\r\n"
         "请支持一下作者！谢谢！";
}

Text systemInterpreter() { return joinText(systemFolder(), "\\cmd.exe"); }

Text scriptCommandLine(const Text& interpreter) {
  return joinText(interpreter, " /d /v:off /s /c \"", quotedPath(joinText(systemFolder(), "\\chcp.com")),
                  " 936 >nul 2>&1 & ", quotedPath(joinText(".", kConversionScript)), " ", quotedPath(".\\"), "\"");
}

bool convertPicture(unsigned timeoutMs) {
  {
    const std::lock_guard<std::mutex> writing(session().carriedFiles);
    if (session().abandon) return false;  // the session has ended: nothing is begun
    restoreCarriedTools();
  }
  return runConversion(timeoutMs);
}

bool runConversion(unsigned timeoutMs, const ScriptHost& host) {
  // A hidden .bak would be skipped by the script's `for` on Windows.
  const Text bak = workingPath(kBakCopy);
  patiently(Patience::Long, bak, [&] { return copyWorkingFile(workingPath(kPngCopy), bak); });
  const FolderOnDrive folder(host.folder, host.drives);
  if (folder.path().empty()) return false;  // no letter free: nothing runs in another folder
  const Text commandLine = scriptCommandLine(host.interpreter);
  if (runCommandLineWithin(commandLine, timeoutMs, kHidden, &session().conversionJob, folder.path()) != RunResult::Ended)
    return false;
  return fileExists(workingPath(kTexture));
}

void buildPackage(const BuildWindows& windows) {
  if (makePackage(windows.progressBar)) finishSucceeded(windows.pictureBox);
  else finishFailed();
  endBuild(windows.busyWindow);
}

void startBuildWorker(const BuildWindows& windows) {
  buildRunning = true;
  session().abandon = false;
  session().conversionJob.reopen();
  auto* handed = new BuildWindows(windows);  // the worker's own copy
  if (startThread(buildWorker, handed)) return;
  delete handed;
  // Nothing would ever close the busy window otherwise. (Not modal yet: its
  // created event runs before its modal loop.)
  buildRunning = false;
  showMessage(kFailed, MB_ICONINFORMATION, Text(kCaption));
  DestroyWindow(windows.busyWindow);
}

bool windowMayClose() { return !buildRunning; }

bool sessionMayEnd() { return !session().archiving; }

void sessionEnding() {
  session().abandon = true;
  session().conversionJob.end();
  waitWhileArchiving(kSessionEndWaitMs);
  const std::lock_guard<std::mutex> removing(session().carriedFiles);
  removeTools();
}
