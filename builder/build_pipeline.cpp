#include "build_pipeline.h"

#include <windows.h>

#include <atomic>

#include "carried_tools.h"
#include "files.h"
#include "folder_archiver.h"
#include "message.h"
#include "process.h"
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

// Set while a build runs, from its start until its own close request.
std::atomic<bool> buildRunning{false};

Text quotedPath(const Text& path) { return joinText("\"", path, "\""); }

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
  deleteFile(workingPath(kTexture));
  removeFolderTree(workingPath(kStagingFolder));
  return !fileExists(workingPath(kTexture)) && !fileExists(workingPath(kStagingFolder));
}

bool stagePackage() {
  for (const char* folder : {kStagingFolder, kStagedDataFolder, kStagedScreenFolder})
    if (!createFolder(workingPath(folder))) return false;
  return writeFileBytes(workingPath(kStagedNote), textToBuffer(packageNote())) &&
         copyFile(workingPath(kTexture), workingPath(kStagedTexture));
}

// Moves the finished archive onto its name. The desktop's shell opens a
// new file there for a moment (for its icon), so a refused move is tried
// again for a little while.
bool moveIntoPlace(const Text& finished, const Text& archive) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (MoveFileExA(finished.c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    Sleep(100);
  }
  return false;
}

// The staging tree onto the desktop. The archive is written beside its name
// and takes that name only once it is complete: an earlier good package
// survives every build that fails.
bool archivePackage(HWND progressBar) {
  const Text desktop = specialFolder(kDesktopFolder);
  if (desktop.empty()) return false;
  const Text archive = joinText(desktop, kArchiveName);
  const Text partial = joinText(archive, kUnfinishedArchiveSuffix);
  FolderArchiver archiver;
  // ZIP压缩1's progress event: the main window's progress bar (showProgress).
  archiver.archiveProgress = [progressBar](int percent) { setProgressPosition(progressBar, percent); };
  const bool archived =
      archiver.compressFolder(workingPath(kStagingFolder), partial) == 1 && moveIntoPlace(partial, archive);
  if (!archived) deleteFile(partial);
  return archived;
}

bool makePackage(HWND progressBar) {
  if (!removeStaleOutputs() || !convertPicture(kScriptTimeoutMs)) return false;
  const bool archived = stagePackage() && archivePackage(progressBar);
  removeFolderTree(workingPath(kStagingFolder));
  return archived;
}

void finishSucceeded(HWND pictureBox) {
  showMessage(kSucceeded, MB_OK);
  for (const char* name : {kPngCopy, kBakCopy, kTexture, kJpegCopy}) deleteFile(workingPath(name));
  showPicture(pictureBox, ByteBuffer());  // nothing left to build from
}

// The PNG working copy, the picture and sourceImagePath stay, so the user
// can start again at once.
void finishFailed() {
  showMessage(kFailed, MB_ICONINFORMATION, Text(kCaption));
  for (const char* name : {kJpegCopy, kBakCopy, kTexture}) deleteFile(workingPath(name));
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

Text scriptCommandLine() {
  return joinText(quotedPath(workingPath(kConversionScript)), " ", quotedPath(workingPath("\\")));
}

bool convertPicture(unsigned timeoutMs) {
  restoreMissingTools();
  // A hidden .bak would be skipped by the script's `for` on Windows.
  copyWorkingFile(workingPath(kPngCopy), workingPath(kBakCopy));
  if (runCommandLineWithin(scriptCommandLine(), timeoutMs, kHidden) != RunResult::Ended) return false;
  return fileExists(workingPath(kTexture));
}

void buildPackage(const BuildWindows& windows) {
  if (makePackage(windows.progressBar)) finishSucceeded(windows.pictureBox);
  else finishFailed();
  endBuild(windows.busyWindow);
}

void startBuildWorker(const BuildWindows& windows) {
  buildRunning = true;
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
