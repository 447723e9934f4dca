#include "take_in_picture.h"

#include <windows.h>

#include <cstring>

#include "files.h"
#include "message.h"
#include "patience.h"
#include "picture_decoder.h"
#include "picture_state.h"
#include "png_copy.h"
#include "reencode.h"
#include "responsiveness.h"
#include "special_folder.h"
#include "system_path.h"
#include "ui_requests.h"
#include "window.h"
#include "working_files.h"

namespace {

constexpr char kCaption[] = "Tarvex Forge";
constexpr char kUnsupported[] = "不支持的文件格式！";
constexpr char kWrongSize[] = "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！";
constexpr char kCopyInUse[] = "图片的工作文件正被其他程序使用，请关闭该程序后重试！";
constexpr char kFolderRefusesWrites[] = "本程序所在的文件夹不能写入文件！\r\n请把本程序放到您自己的文件夹中再运行。";
constexpr char kPathUnusable[] = "图片所在路径含有本程序无法使用的字符！\r\n请把图片移到其他文件夹或改名后再试。";

struct ExtensionRow {
  const char* text;
  ImageFormat format;
};
// JPEG's other usual names come last, so that every extension that matched
// a row before still matches the same one.
constexpr ExtensionRow kExtensionTable[] = {
    {"bmp", IMAGE_FORMAT_BMP}, {"gif", IMAGE_FORMAT_GIF}, {"jpg", IMAGE_FORMAT_JPG},
    {"png", IMAGE_FORMAT_PNG}, {"tif", IMAGE_FORMAT_TIF}, {"tga", IMAGE_FORMAT_TGA},
    {"jpe", IMAGE_FORMAT_JPG}, {"jfif", IMAGE_FORMAT_JPG}};  // .jpeg, .jpe; .jfif (browsers)

// A viewer or the shell may hold the earlier copy for a moment: briefly
// patient, on the UI thread.
bool encodeWorkingCopy(const char* name, ImageFormat format) {
  const Text path = workingPath(name);
  return patiently(Patience::Brief, path, [&] {
    makeNormalFile(path);
    const bool written = imageObject->EecodeToFile(path, format);
    makeNormalFile(path);
    return written;
  });
}

// The picture's path and the two folders every working path is built on,
// as the program holds them: "?" where a character had no GBK form and the
// volume no short name.
bool pathsAreUsable(const Text& picture) {
  return pathIsUsable(picture) && pathIsUsable(programDir()) && pathIsUsable(specialFolder(kDesktopFolder));
}

bool startsWithPngSignature(const ByteBuffer& bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG\r\n\x1A\n", 8) == 0;
}

void refuse(const char* text, unsigned style) { showMessage(text, style, Text(kCaption)); }

void deleteWorkingCopies() {
  for (const char* name : {kPngCopy, kJpegCopy}) {
    const Text path = workingPath(name);
    patiently(Patience::Brief, path, [&] { return deleteFile(path); });
  }
}

// A refused picture whose working copies may already have replaced an
// earlier picture's: none is left, and the picture box is emptied, since
// nothing is left to build from.
void refuseAndEmpty(const char* text, HWND pictureBox) {
  refuse(text, MB_ICONINFORMATION);
  deleteWorkingCopies();
  showPicture(pictureBox, ByteBuffer());
}

// CopyNotWritten: a working copy could not be written (another program
// holds it, or the folder refuses writes); CopyUnreadable: the JPEG copy
// was written but cannot be read back.
enum class Intake { Accepted, Unreadable, CopyNotWritten, CopyUnreadable, WrongSize };

// What the UI thread makes while the PNG copy is written: the JPEG copy,
// its size as the probe reads it, and (for a picture that passes) the
// picture decoded for the box from the copy's bytes.
struct JpegSide {
  bool written = false, multipleOf4 = false;
  std::int32_t width = 0;  // 0: the copy could not be read back
  ByteBuffer bytes;
  DecodedPicture picture;
};

// The picture box and the probe read this copy: an earlier picture's would
// be shown and measured while this one's PNG copy is packaged.
JpegSide writeJpegSide() {
  JpegSide side;
  side.written = encodeWorkingCopy(kJpegCopy, IMAGE_FORMAT_JPG);
  if (!side.written) return side;
  answerHangCheck();
  side.multipleOf4 = sizeIsMultipleOf4(&side.width);
  if (side.width == 0 || !side.multipleOf4) return side;
  answerHangCheck();
  side.bytes = readFileBytes(workingPath(kJpegCopy));
  side.picture = decodePicture(side.bytes);
  return side;
}

// Decodes the picture, writes the working copies and probes the size: the
// part that takes seconds for a large picture, under the wait cursor and
// answering the system's hang check between and within its steps. The PNG
// copy, the longest part, is written on a second thread meanwhile; the
// outcome waits for it, whatever it is, so that a refusal finds the copies
// complete and removes them.
Intake writeWorkingCopies(const Text& path, ImageFormat format, JpegSide& jpeg) {
  const WaitCursor waiting;
  imageObject->SetKeepAlive(answerHangCheck);
  // Read from disk once. A picture that cannot be read or decoded is
  // refused before anything is written: the working copies would
  // otherwise hold an earlier picture.
  const ByteBuffer source = readFileBytes(path);
  if (path.size() <= 3 || !imageObject->DecodeFromMemory(source.data(), source.size(), format))
    return Intake::Unreadable;
  answerHangCheck();
  // PNG sources are copied byte for byte, but only real PNG files: a file
  // named .png holding another format is encoded like the other rows. The
  // build converts this copy: without it, it would convert an earlier one.
  PngCopyWriter png(format == IMAGE_FORMAT_PNG && startsWithPngSignature(source) ? &source : nullptr);
  jpeg = writeJpegSide();
  const bool pngWritten = png.finish();
  if (!jpeg.written || !pngWritten) return Intake::CopyNotWritten;
  if (jpeg.width == 0) return Intake::CopyUnreadable;
  return jpeg.multipleOf4 ? Intake::Accepted : Intake::WrongSize;
}

}  // namespace

Text extensionOf(const Text& path, unsigned codePage) {
  std::size_t dot = Text::npos;
  for (std::size_t at = 0; at < path.size();) {
    const char c = path[at];
    if (c == '.') dot = at;
    else if (c == '\\' || c == ' ') dot = Text::npos;
    at += (isSystemLeadByte(static_cast<unsigned char>(c), codePage) && at + 1 < path.size()) ? 2 : 1;
  }
  return dot == Text::npos ? Text() : path.substr(dot);
}

ImageFormat formatForExtension(const Text& extension) {
  for (const ExtensionRow& row : kExtensionTable)
    if (findText(extension, row.text, true) != -1) return row.format;
  return IMAGE_FORMAT_UNKNOWN;
}

void takeInPicture(const Text& path, HWND pictureBox) {
  if (!pathsAreUsable(path)) return refuse(kPathUnusable, MB_ICONINFORMATION);
  const ImageFormat format = formatForExtension(extensionOf(path));
  if (format == IMAGE_FORMAT_UNKNOWN || !imageObject) return refuse(kUnsupported, MB_ICONQUESTION);
  JpegSide jpeg;
  switch (writeWorkingCopies(path, format, jpeg)) {
    case Intake::Unreadable: return refuse(kUnsupported, MB_ICONQUESTION);
    case Intake::CopyUnreadable:
      deleteWorkingCopies();
      return refuse(kUnsupported, MB_ICONQUESTION);
    case Intake::CopyNotWritten:
      // The true reason: a folder that takes no new file at all, or a copy
      // that another program holds open.
      return refuseAndEmpty(folderTakesNewFiles(programDir()) ? kCopyInUse : kFolderRefusesWrites, pictureBox);
    case Intake::WrongSize: return refuseAndEmpty(kWrongSize, pictureBox);
    case Intake::Accepted: break;
  }
  sourceImagePath = path;
  showDecodedPicture(pictureBox, jpeg.bytes, jpeg.picture);
}

void choosePicture(FileDialog& dialog, HWND pictureBox) {
  dialog.filter = "通常图片文件";
  const bool confirmed = openFileDialog(dialog);
  // The dialog may have made the user's folder current (and kept it busy).
  makeProgramDirCurrent();
  if (!confirmed) return;
  takeInPicture(dialog.fileName, pictureBox);
}
