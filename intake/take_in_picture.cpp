#include "take_in_picture.h"

#include <windows.h>

#include <cstring>

#include "declared_size.h"
#include "files.h"
#include "message.h"
#include "patience.h"
#include "picture_decoder.h"
#include "picture_state.h"
#include "png_copy.h"
#include "reencode.h"
#include "responsiveness.h"
#include "shared_file.h"
#include "signatures.h"
#include "size_limits.h"
#include "special_folder.h"
#include "system_path.h"
#include "ui_requests.h"
#include "window.h"
#include "working_copy.h"
#include "working_files.h"

namespace {

constexpr char kCaption[] = "Tarvex Forge";
constexpr char kUnsupported[] = "不支持的文件格式！";
constexpr char kWrongSize[] = "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！";
constexpr char kCopyInUse[] = "图片的工作文件正被其他程序使用，请关闭该程序后重试！";
constexpr char kFolderRefusesWrites[] = "本程序所在的文件夹不能写入文件！\r\n请把本程序放到您自己的文件夹中再运行。";
constexpr char kPathUnusable[] = "图片所在路径含有本程序无法使用的字符！\r\n请把图片移到其他文件夹或改名后再试。";
constexpr char kProgramFolderUnusable[] = "本程序所在文件夹的路径含有本程序无法使用的字符！\r\n请把本程序放到其他文件夹后再运行。";
constexpr char kDesktopUnusable[] = "桌面文件夹的路径含有本程序无法使用的字符，无法存放制作好的文件！";
constexpr char kTooLarge[] = "图片太大，本程序无法处理！\r\n请缩小图片后再试。";
constexpr char kDiskFull[] = "本程序所在的磁盘空间不足，无法写入图片的工作文件！\r\n请清理磁盘后重试。";

struct ExtensionRow {
  const char* text;
  ImageFormat format;
};
// JPEG's other usual names and WebP come last, so that every extension
// that matched a row before still matches the same one.
constexpr ExtensionRow kExtensionTable[] = {
    {"bmp", IMAGE_FORMAT_BMP}, {"gif", IMAGE_FORMAT_GIF}, {"jpg", IMAGE_FORMAT_JPG},
    {"png", IMAGE_FORMAT_PNG}, {"tif", IMAGE_FORMAT_TIF}, {"tga", IMAGE_FORMAT_TGA},
    {"jpe", IMAGE_FORMAT_JPG}, {"jfif", IMAGE_FORMAT_JPG},  // .jpeg, .jpe; .jfif (browsers)
    {"webp", IMAGE_FORMAT_WEBP}};                            // as browsers save pictures

// On the UI thread, which answers the hang check while it encodes.
bool encodeWorkingCopy(const char* name, ImageFormat format, DWORD& error) {
  return writeWorkingCopy(name, [&](const Text& path) { return imageObject->EecodeToFile(path, format); }, error);
}

bool startsWithPngSignature(const ByteBuffer& bytes) {
  return startsAs(IMAGE_FORMAT_PNG, bytes.data(), bytes.size());
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
void refuseAndEmpty(const char* text, unsigned style, HWND pictureBox) {
  refuse(text, style);
  deleteWorkingCopies();
  showPicture(pictureBox, ByteBuffer());
}

// Unreadable: the file cannot be read whole or decoded; TooLarge: its
// length or its header's size is beyond the codec's limits (both before
// anything is written). CopyNotWritten: a working copy could not be written
// (a full disk, another program holds it, or the folder refuses writes);
// CopyUnreadable: the JPEG copy was written but cannot be read back.
enum class Intake { Accepted, Unreadable, TooLarge, CopyNotWritten, CopyUnreadable, WrongSize };

// What the UI thread makes while the PNG copy is written: the JPEG copy,
// its size as the probe reads it, and (for a picture that passes) the
// picture decoded for the box from the copy's bytes.
struct JpegSide {
  bool written = false, multipleOf4 = false;
  DWORD writeError = ERROR_SUCCESS;
  std::int32_t width = 0;  // 0: the copy could not be read back
  ByteBuffer bytes;
  DecodedPicture picture;
};

// The picture box and the probe read this copy: an earlier picture's would
// be shown and measured while this one's PNG copy is packaged.
JpegSide writeJpegSide() {
  JpegSide side;
  side.written = encodeWorkingCopy(kJpegCopy, IMAGE_FORMAT_JPG, side.writeError);
  if (!side.written) return side;
  answerHangCheck();
  side.multipleOf4 = sizeIsMultipleOf4(&side.width);
  if (side.width == 0 || !side.multipleOf4) return side;
  answerHangCheck();
  side.bytes = readFileBytes(workingPath(kJpegCopy));
  side.picture = decodePicture(side.bytes);
  return side;
}

// The picture's file, read once: refused as too large by its 64-bit length
// or its header's size before anything is read whole, and read in pieces
// that answer the hang check (a file of hundreds of MB takes seconds). One
// whose length changes meanwhile (still being written) is unreadable.
Intake readSource(const Text& path, ImageFormat format, ByteBuffer& source) {
  const SharedFile file(path);
  if (!file) return Intake::Unreadable;
  if (file.size() > kMaxFileBytes) return Intake::TooLarge;
  const ReadAt readAt = [&file](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
    return file.readAt(offset, count, out);
  };
  if (declaresTooLarge(format, readAt)) return Intake::TooLarge;
  return file.readAll(source, answerHangCheck) == SharedFile::Whole::Read ? Intake::Accepted : Intake::Unreadable;
}

// The working copies that failed, by the true reason.
const char* copyFailureText(const JpegSide& jpeg, const PngCopyWriter& png) {
  if (meansDiskFull(jpeg.writeError) || meansDiskFull(png.error())) return kDiskFull;
  // A folder that takes no new file at all, or a copy that another program
  // holds open.
  return folderTakesNewFiles(programDir()) ? kCopyInUse : kFolderRefusesWrites;
}

// Reads and decodes the picture, writes the working copies and probes the
// size: the part that takes seconds for a large picture, under the wait
// cursor and answering the system's hang check between and within its
// steps. The PNG copy, the longest part, is written on a second thread
// meanwhile; the outcome waits for it, whatever it is, so that a refusal
// finds the copies complete and removes them.
Intake writeWorkingCopies(const Text& path, ImageFormat format, JpegSide& jpeg, const char*& failure) {
  const WaitCursor waiting;
  imageObject->SetKeepAlive(answerHangCheck);
  // A picture that cannot be read or decoded is refused before anything is
  // written: the working copies would otherwise hold an earlier picture.
  ByteBuffer source;
  if (path.size() <= 3) return Intake::Unreadable;
  if (const Intake read = readSource(path, format, source); read != Intake::Accepted) return read;
  if (!imageObject->DecodeFromMemory(source.data(), source.size(), format)) return Intake::Unreadable;
  answerHangCheck();
  // PNG sources are copied byte for byte, but only real PNG files: a file
  // named .png holding another format is encoded like the other rows. The
  // build converts this copy: without it, it would convert an earlier one.
  PngCopyWriter png(format == IMAGE_FORMAT_PNG && startsWithPngSignature(source) ? &source : nullptr);
  jpeg = writeJpegSide();
  const bool pngWritten = png.finish();
  if (!jpeg.written || !pngWritten) {
    failure = copyFailureText(jpeg, png);
    return Intake::CopyNotWritten;
  }
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

const char* unusablePathText(const Text& picture, const Text& programFolder, const Text& desktop) {
  if (!pathIsUsable(programFolder)) return kProgramFolderUnusable;
  if (!pathIsUsable(desktop)) return kDesktopUnusable;
  if (!pathIsUsable(picture)) return kPathUnusable;
  return nullptr;
}

ImageFormat formatForExtension(const Text& extension) {
  for (const ExtensionRow& row : kExtensionTable)
    if (findText(extension, row.text, true) != -1) return row.format;
  return IMAGE_FORMAT_UNKNOWN;
}

void takeInPicture(const Text& path, HWND pictureBox) {
  if (const char* text = unusablePathText(path, programDir(), specialFolder(kDesktopFolder)))
    return refuse(text, MB_ICONINFORMATION);
  // A short name (PHOTO~1.JFI) stands in for a path GBK cannot give: the
  // type is the real name's.
  const ImageFormat format = formatForExtension(extensionOf(realPathOf(path)));
  if (format == IMAGE_FORMAT_UNKNOWN || !imageObject) return refuse(kUnsupported, MB_ICONQUESTION);
  JpegSide jpeg;
  const char* copyFailure = nullptr;
  switch (writeWorkingCopies(path, format, jpeg, copyFailure)) {
    // Nothing was written: the earlier picture and its copies stay.
    case Intake::Unreadable: return refuse(kUnsupported, MB_ICONQUESTION);
    case Intake::TooLarge: return refuse(kTooLarge, MB_ICONINFORMATION);
    // The copies are gone: so is the picture they were for.
    case Intake::CopyUnreadable: return refuseAndEmpty(kUnsupported, MB_ICONQUESTION, pictureBox);
    case Intake::CopyNotWritten: return refuseAndEmpty(copyFailure, MB_ICONINFORMATION, pictureBox);
    case Intake::WrongSize: return refuseAndEmpty(kWrongSize, MB_ICONINFORMATION, pictureBox);
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
