#include "build_pipeline.h"

#include <windows.h>

#include <atomic>

#include "carried_tools.h"
#include "event_bindings.h"
#include "files.h"
#include "folder_archiver.h"
#include "message.h"
#include "process.h"
#include "program_dir.h"
#include "special_folder.h"
#include "window.h"

namespace {

constexpr char kCaption[] = "Tarvex Forge";
constexpr char kSucceeded[] = "完成，存放在您的桌面中！";
constexpr char kFailed[] = "制作失败，请重新尝试！";
constexpr char kArchiveName[] = "Tarvex Forge载入背景一键制作.zip";
constexpr unsigned kScriptTimeoutMs = 10 * 60 * 1000;  // a hung converter must not hang the program
constexpr int kHidden = 1;                              // show mode: window hidden

// Set while a build runs, from its start until its own close request.
std::atomic<bool> buildRunning{false};

Text workPath(const char* name) { return joinText(programDir(), name); }
Text quotedPath(const Text& path) { return joinText("\"", path, "\""); }

DWORD WINAPI buildWorker(void*) {
  buildPackage();
  return 0;
}

// A texture or staging tree left by an interrupted build must neither count
// as this build's result nor go into its package.
bool removeStaleOutputs() {
  deleteFile(workPath("\\TarvexForge.dds"));
  removeFolderTree(workPath("\\zip"));
  return !fileExists(workPath("\\TarvexForge.dds")) && !fileExists(workPath("\\zip"));
}

bool stagePackage() {
  for (const char* folder : {"\\zip", "\\zip\\Data", "\\zip\\Data\\LoadingScreen"})
    if (!createFolder(workPath(folder))) return false;
  return writeFileBytes(workPath("\\zip\\Data\\Tarvex Forge.txt"), textToBuffer(packageNote())) &&
         copyFile(workPath("\\TarvexForge.dds"), workPath("\\zip\\Data\\LoadingScreen\\SRBackground.dds"));
}

// The staging tree onto the desktop. An archive the archiver created and
// could not finish is removed; one it could not create is left alone, so an
// earlier good package survives.
bool archivePackage() {
  const Text desktop = specialFolder(kDesktopFolder);
  if (desktop.empty()) return false;
  const Text archive = joinText(desktop, kArchiveName);
  FolderArchiver archiver;
  archiver.archiveProgress = eventBindings().archiveProgress;
  const int result = archiver.compressFolder(workPath("\\zip"), archive);
  if (result == 0 && archiver.targetCreated()) deleteFile(archive);
  return result == 1;
}

bool makePackage() {
  if (!removeStaleOutputs() || !convertPicture(kScriptTimeoutMs)) return false;
  const bool archived = stagePackage() && archivePackage();
  removeFolderTree(workPath("\\zip"));
  return archived;
}

void clearPicture() {
  if (Window* main = openWindow(WindowId::Main)) main->pictureBox()->setPicture(ByteBuffer());
}

void finishSucceeded() {
  showMessage(kSucceeded, 0);
  for (const char* name : {"\\TarvexForge.png", "\\TarvexForge.bak", "\\TarvexForge.dds", "\\TarvexForge.jpg"})
    deleteFile(workPath(name));
  clearPicture();
}

// The PNG working copy, the picture and sourceImagePath stay, so the user
// can start again at once.
void finishFailed() {
  showMessage(kFailed, 0x40, Text(kCaption));
  for (const char* name : {"\\TarvexForge.jpg", "\\TarvexForge.bak", "\\TarvexForge.dds"})
    deleteFile(workPath(name));
}

void endBuild() {
  buildRunning = false;
  closeWindow(WindowId::Busy);
}

}  // namespace

Text packageNote() {
  return "本文件为Tarvex Forge一键制作载入背景软件制作！\r\n"
         "作者：Tarvex Forge  联系电话：暂无\r\n"
         "发布：Tarvex Forge  群号：暂无\r\n"
         "请支持一下作者！谢谢！";
}

Text scriptCommandLine() {
  return joinText(quotedPath(workPath("\\PNG_To_DDS.cmd")), " ", quotedPath(workPath("\\")));
}

bool convertPicture(unsigned timeoutMs) {
  restoreMissingTools();
  copyFile(workPath("\\TarvexForge.png"), workPath("\\TarvexForge.bak"));
  if (runCommandLineWithin(scriptCommandLine(), timeoutMs, kHidden) != RunResult::Ended) return false;
  return fileExists(workPath("\\TarvexForge.dds"));
}

void buildPackage() {
  if (makePackage()) finishSucceeded();
  else finishFailed();
  endBuild();
}

void startBuildWorker() {
  buildRunning = true;
  if (startThread(buildWorker)) return;
  // Nothing would ever close the busy window otherwise.
  buildRunning = false;
  showMessage(kFailed, 0x40, Text(kCaption));
  closeWindow(WindowId::Busy, true);
}

bool windowMayClose() { return !buildRunning; }
