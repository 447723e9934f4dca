#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

#include "drop_target.h"
#include "files.h"
#include "handles.h"
#include "picture_state.h"
#include "take_in_picture.h"
#include "test_folder.h"
#include "test_windows.h"
#include "program_steps.h"
#include "system_path.h"
#include "ui_driver.h"
#include "wide_text.h"
#include "working_files.h"

namespace {

std::string fixture(const std::string& name) { return std::string(TF_FIXTURES) + "\\" + name; }
std::string jpegCopy() { return workingPath(kJpegCopy); }
std::string pngCopy() { return workingPath(kPngCopy); }

struct SeenMessage {
  std::string caption, text;
  DWORD after = 0;  // milliseconds from the intake's start until it was up
};

// Runs the intake while a second thread answers its message boxes, after
// `beforeAnswer`.
std::vector<SeenMessage> takeInAnswering(const std::string& path, const std::function<void()>& beforeAnswer = {}) {
  std::vector<SeenMessage> seen;
  std::atomic<bool> done{false};
  const DWORD start = GetTickCount();
  std::thread user([&] {
    while (!done) {
      if (HWND box = ui::waitForWindow(GetCurrentProcessId(), "#32770", nullptr, 20)) {
        seen.push_back({ui::windowText(box), ui::messageBoxText(box), GetTickCount() - start});
        if (beforeAnswer) beforeAnswer();
        ui::pressButton(box, IDOK);
        ui::waitUntilGone(box, 2000);
      }
    }
  });
  takeInPicture(path, unitsPictureBox());
  done = true;
  user.join();
  return seen;
}

class IntakeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    initProgramDir();
  }
  void SetUp() override {
    imageObject = std::make_unique<ImageObject>();
    sourceImagePath.clear();
    ASSERT_TRUE(loadWindow(unitsWindowLayout(), WindowEvents{}));
    deleteFile(jpegCopy());
    deleteFile(pngCopy());
  }
  void TearDown() override {
    unitsWindow()->destroy();
    deleteFile(jpegCopy());
    deleteFile(pngCopy());
  }
  ByteBuffer shown() { return unitsWindow()->pictureBox()->picture(); }
};

const SeenMessage kUnsupported{"Tarvex Forge", "不支持的文件格式！"};
const SeenMessage kWrongSize{"Tarvex Forge", "您选择的图片不符合要求！\r\n您选择的图片宽和高必须是4的倍数！"};
const SeenMessage kCopyInUse{"Tarvex Forge", "图片的工作文件正被其他程序使用，请关闭该程序后重试！"};
const SeenMessage kTooLarge{"Tarvex Forge", "图片太大，本程序无法处理！\r\n请缩小图片后再试。"};

void expectMessages(const std::vector<SeenMessage>& seen, const std::vector<SeenMessage>& expected) {
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].caption, expected[i].caption);
    EXPECT_EQ(seen[i].text, expected[i].text);
  }
}

// What "手动选择图片" runs, choosePicture, with a user on another thread
// confirming `picture` in the dialog it opens.
void choosePictureAnswering(const std::wstring& picture) {
  std::atomic<bool> done{false};
  std::thread user([&] {
    HWND dialog = nullptr;
    ui::waitUntil([&] {
      dialog = ui::waitForWindow(GetCurrentProcessId(), "#32770", nullptr, 100);
      return done || (dialog && GetDlgItem(dialog, 1148));
    }, 15000);
    if (dialog && !done) ui::confirmDialog(dialog, picture);
  });
  choosePicture(*unitsWindow()->fileDialog(), unitsPictureBox());
  done = true;
  user.join();
}

}  // namespace

TEST(ExtensionTable, QuirksOfThePathExtension) {
  EXPECT_EQ(extensionOf("C:\\a.BMP"), ".BMP");
  EXPECT_EQ(formatForExtension(extensionOf("C:\\a.BMP")), IMAGE_FORMAT_BMP);
  EXPECT_EQ(formatForExtension(extensionOf("a.Tiff")), IMAGE_FORMAT_TIF);
  // JPEG's usual names, any case; nothing else new.
  for (const char* jpeg : {"a.jpeg", "a.JPEG", "a.jpe", "a.Jpe", "a.jfif", "a.JFIF", "C:\\x\\y.jpg"})
    EXPECT_EQ(formatForExtension(extensionOf(jpeg)), IMAGE_FORMAT_JPG) << jpeg;
  for (const char* webp : {"a.webp", "a.WEBP", "a.WebP"})
    EXPECT_EQ(formatForExtension(extensionOf(webp)), IMAGE_FORMAT_WEBP) << webp;
  for (const char* unknown : {"a.jfi", "a.jp", "a.web", "a.heic", "a.jxl"})
    EXPECT_EQ(formatForExtension(extensionOf(unknown)), IMAGE_FORMAT_UNKNOWN) << unknown;
  EXPECT_EQ(formatForExtension(extensionOf("a.bmpx")), IMAGE_FORMAT_BMP);
  EXPECT_EQ(formatForExtension(extensionOf("a.xgif")), IMAGE_FORMAT_GIF);
  EXPECT_EQ(extensionOf("C:\\x.png\\picture"), "");
  EXPECT_EQ(extensionOf("C:\\photo.jpg copy"), "");
  EXPECT_EQ(extensionOf(""), "");
  EXPECT_EQ(extensionOf("C:\\a.b.tga"), ".tga");
  // "乗" (0x81 0x5C) ends a folder name: its second byte is no separator.
  EXPECT_EQ(extensionOf("C:\\x.\x81\x5C" "y"), ".\x81\x5C" "y");
  EXPECT_EQ(extensionOf("a.png\r\nb.jpg\r\n"), ".jpg\r\n");
  // The system's code page decides how two-byte characters are stepped.
  EXPECT_EQ(extensionOf("C:\\caf\xE9.png", 1252), ".png");
  EXPECT_EQ(extensionOf("C:\\\xE6\xB8\xB8.png", CP_UTF8), ".png");  // "游.png"
  EXPECT_EQ(extensionOf("C:\\x\x80.png"), ".png");
}

TEST_F(IntakeTest, PngSourceIsCopiedByteForByteAndShown) {
  expectMessages(takeInAnswering(fixture("intake1024x768.png")), {});
  EXPECT_EQ(readFileBytes(pngCopy()).view(), readFileBytes(fixture("intake1024x768.png")).view());
  EXPECT_FALSE(readFileBytes(jpegCopy()).empty());
  EXPECT_EQ(sourceImagePath, fixture("intake1024x768.png"));
  EXPECT_EQ(shown().view(), readFileBytes(jpegCopy()).view());
}

TEST_F(IntakeTest, JpegSourceIsReencoded) {
  expectMessages(takeInAnswering(fixture("intake.jpg")), {});
  const ByteBuffer copy = readFileBytes(jpegCopy());
  ASSERT_FALSE(copy.empty());
  EXPECT_NE(copy.view(), readFileBytes(fixture("intake.jpg")).view());
  EXPECT_EQ(readFileBytes(pngCopy()).view().substr(0, 4), "\x89PNG");
}

TEST_F(IntakeTest, SizesNotMultiplesOfFourAreRefusedAndCleanedUp) {
  takeInAnswering(fixture("intake1024x768.png"));  // an accepted picture A first
  ASSERT_FALSE(shown().empty());
  expectMessages(takeInAnswering(fixture("intake1023x768.png")), {kWrongSize});
  EXPECT_FALSE(fileExists(jpegCopy()));
  EXPECT_FALSE(fileExists(pngCopy()));
  EXPECT_EQ(sourceImagePath, fixture("intake1024x768.png"));  // still A
  EXPECT_TRUE(shown().empty());  // nothing left to build from: the box is cleared
  expectMessages(takeInAnswering(fixture("intake1024x766.bmp")), {kWrongSize});
  EXPECT_FALSE(fileExists(jpegCopy()));
  expectMessages(takeInAnswering(fixture("intake1022x768.webp")), {kWrongSize});
  EXPECT_FALSE(fileExists(jpegCopy()));
}

namespace {

// A file that starts with `start` and is `length` bytes long, the rest a
// hole (no disk is used).
std::string writeSparse(const TestFolder& scratch, const char* name, std::string_view start, std::uint64_t length) {
  const std::string path = scratch / name;
  FileHandle file(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(std::max<std::uint64_t>(length, start.size()));
  SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
  SetEndOfFile(file.get());
  return path;
}

std::string bigEndian(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(v >> (8 * i));
  return out;
}
std::string littleEndian(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
  return out;
}

// Headers that declare a picture beyond the codec's limits (a side over
// 65 500, or over 64 Mi pixels), with nothing after them.
const std::string kPngHeader = std::string("\x89PNG\r\n\x1A\n", 8) + bigEndian(13, 4) + "IHDR" + bigEndian(70000, 4) +
                               bigEndian(4, 4) + std::string("\x08\x02\0\0\0", 5) + bigEndian(0, 4);
const std::string kBmpHeader = "BM" + littleEndian(54, 4) + littleEndian(0, 4) + littleEndian(54, 4) +
                               littleEndian(40, 4) + littleEndian(9000, 4) + littleEndian(9000, 4) +
                               littleEndian(1, 2) + littleEndian(24, 2) + std::string(24, '\0');
const std::string kJpegHeader = std::string("\xFF\xD8\xFF\xE0", 4) + bigEndian(16, 2) + std::string("JFIF\0\1\1\0", 8) +
                                bigEndian(1, 2) + bigEndian(1, 2) + std::string(2, '\0') + std::string("\xFF\xC0", 2) +
                                bigEndian(17, 2) + "\x08" + bigEndian(20000, 2) + bigEndian(20000, 2) + "\x03";
const std::string kGifHeader = "GIF89a" + littleEndian(100, 2) + littleEndian(100, 2) + std::string(3, '\0') +
                               std::string("\x21\xF9\x04\0\0\0\0\0", 8) + "," + littleEndian(0, 4) +
                               littleEndian(65535, 2) + littleEndian(2000, 2) + std::string(1, '\0');
// A little-endian TIFF header whose first directory holds LONG entries
// of (tag, value).
std::string tiffHeader(std::initializer_list<std::pair<int, std::uint32_t>> entries) {
  std::string header = std::string("II*\0", 4) + littleEndian(8, 4) +
                       littleEndian(static_cast<std::uint32_t>(entries.size()), 2);
  for (const auto& [tag, value] : entries)
    header += littleEndian(tag, 2) + littleEndian(4, 2) + littleEndian(1, 4) + littleEndian(value, 4);
  return header + littleEndian(0, 4);
}
const std::string kTiffHeader = tiffHeader({{256, 100000}, {257, 100000}});
const std::string kWebpHeader = "RIFF" + littleEndian(22, 4) + "WEBPVP8X" + littleEndian(10, 4) + std::string(4, '\0') +
                                littleEndian(70000 - 1, 3) + littleEndian(4 - 1, 3);
const std::string kTgaHeader = std::string("\0\0\x02", 3) + std::string(9, '\0') + littleEndian(65535, 2) +
                               littleEndian(65535, 2) + "\x18" + std::string(1, '\0');

struct Refusal {
  std::string path;
  SeenMessage message;
};

}  // namespace

// Refusals that write nothing: the earlier picture, its copies and the box
// stay. A file too large for the codec, by its length or by the size its
// header declares, is refused as such at once, without being read (a
// 3 GB file took 16 s to read before its refusal).
TEST_F(IntakeTest, RefusalsBeforeAnythingIsWrittenKeepTheEarlierPicture) {
  TestFolder scratch;
  constexpr std::uint64_t kGigabyte = 1ull << 30;
  const Refusal rows[] = {
      {fixture("intake.heic"), kUnsupported},
      {fixture("damaged.bmp"), kUnsupported},
      {fixture("missing.gif"), kUnsupported},
      {fixture("intake.jpg") + "\r\n" + fixture("intake1024x768.png") + "\r\n", kUnsupported},
      {writeSparse(scratch, "big.xyz", "", 3 * kGigabyte), kUnsupported},
      {writeSparse(scratch, "big.tif", "II*", 3 * kGigabyte), kTooLarge},
      {writeSparse(scratch, "bigger.tif", "II*", 5 * kGigabyte), kTooLarge},
      {writeSparse(scratch, "wide.png", kPngHeader, 0), kTooLarge},
      {writeSparse(scratch, "huge.bmp", kBmpHeader, 0), kTooLarge},
      {writeSparse(scratch, "huge.jpg", kJpegHeader, 0), kTooLarge},
      {writeSparse(scratch, "huge.gif", kGifHeader, 0), kTooLarge},
      {writeSparse(scratch, "huge.tif", kTiffHeader, 0), kTooLarge},
      // ImageWidth twice: libtiff reads the first entry and ignores the other.
      {writeSparse(scratch, "widthtwice.tif", tiffHeader({{256, 100}, {256, 70000}, {257, 100}}), 0), kUnsupported},
      {writeSparse(scratch, "widthtwice2.tif", tiffHeader({{256, 70000}, {256, 100}, {257, 100}}), 0), kTooLarge},
      {writeSparse(scratch, "huge.tga", kTgaHeader, 0), kTooLarge},
      {writeSparse(scratch, "huge.webp", kWebpHeader, 0), kTooLarge},
      {writeSparse(scratch, "pnginside.jpg", kPngHeader, 0), kTooLarge},  // detected by content
  };
  takeInAnswering(fixture("intake1024x768.png"));
  const ByteBuffer before = readFileBytes(pngCopy());
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.path);
    const std::vector<SeenMessage> seen = takeInAnswering(row.path);
    expectMessages(seen, {row.message});
    if (!seen.empty()) {
      EXPECT_LT(seen[0].after, 1000u);
    }
    EXPECT_EQ(readFileBytes(pngCopy()).view(), before.view());
    EXPECT_EQ(sourceImagePath, fixture("intake1024x768.png"));
    EXPECT_FALSE(shown().empty());
  }
}

namespace {

// A decoded working copy as RGBA (alpha 255 where it has none).
std::vector<std::uint8_t> rgbaOfCopy(const std::string& copy) {
  ImageObject decoded;
  if (!decoded.DecodeFromFile(copy, IMAGE_FORMAT_UNKNOWN)) return {};
  const Picture& picture = *decoded.codec()->GetPicture();
  std::vector<std::uint8_t> rgba(picture.pixelCount() * 4, 255);
  for (std::size_t i = 0; i < picture.pixelCount(); ++i) {
    std::copy_n(&picture.pixels[3 * i], 3, &rgba[4 * i]);
    if (!picture.alpha.empty()) rgba[4 * i + 3] = picture.alpha[i];
  }
  return rgba;
}

struct WebpPicture {
  const char* file;
  bool alpha;
  int tolerance;  // our decoder and ImageMagick's disagree a little on lossy pictures
};

}  // namespace

// WebP pictures as browsers save them are taken in like their neighbours:
// each working copy is the picture ImageMagick decodes from the source
// (an animation's first frame), the PNG copy with an alpha channel exactly
// where the file has one, the JPEG copy at its quality.
TEST_F(IntakeTest, WebpPicturesAreTakenInLikeTheOtherRows) {
  for (const WebpPicture& row : {WebpPicture{"intakelossy.webp", false, 2}, WebpPicture{"intakelossless.webp", false, 0},
                                 WebpPicture{"intakealpha.webp", true, 0}, WebpPicture{"intakeanimated.webp", false, 2}}) {
    SCOPED_TRACE(row.file);
    expectMessages(takeInAnswering(fixture(row.file)), {});
    EXPECT_EQ(sourceImagePath, fixture(row.file));
    EXPECT_FALSE(shown().empty());
    const ByteBuffer reference = readFileBytes(fixture(std::string(row.file) + ".rgba"));
    const std::vector<std::uint8_t> png = rgbaOfCopy(pngCopy()), jpeg = rgbaOfCopy(jpegCopy());
    ASSERT_EQ(png.size(), reference.size());
    ASSERT_EQ(jpeg.size(), reference.size());
    EXPECT_EQ(readFileBytes(pngCopy())[25], row.alpha ? 6 : 2);  // RGBA or RGB
    int colour = 0, alpha = 0;
    long jpegTotal = 0;
    for (std::size_t i = 0; i < png.size(); ++i) {
      const int difference = std::abs(png[i] - reference[i]);
      (i % 4 == 3 ? alpha : colour) = std::max(i % 4 == 3 ? alpha : colour, difference);
      if (i % 4 != 3) jpegTotal += std::abs(jpeg[i] - reference[i]);
    }
    EXPECT_LE(colour, row.tolerance);
    EXPECT_EQ(alpha, 0);
    EXPECT_LT(jpegTotal / static_cast<long>(png.size() / 4 * 3), 3) << "the JPEG copy is not the picture";
  }
}

TEST_F(IntakeTest, ColourGifIsAcceptedWithAWorkingJpegCopy) {
  expectMessages(takeInAnswering(fixture("intakecolour.gif")), {});
  EXPECT_FALSE(readFileBytes(jpegCopy()).empty());
  EXPECT_FALSE(shown().empty());
  const ByteBuffer png = readFileBytes(pngCopy());
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(png[25], 3);  // a palette PNG
}

TEST_F(IntakeTest, AFileNamedPngHoldingAnotherFormatIsEncoded) {
  expectMessages(takeInAnswering(fixture("bmpinside.png")), {});
  const ByteBuffer png = readFileBytes(pngCopy());
  EXPECT_EQ(png.view().substr(0, 4), "\x89PNG");
  EXPECT_NE(png.view(), readFileBytes(fixture("bmpinside.png")).view());
}

// An image viewer or the shell's thumbnail handler holds a working copy
// open (sharing reads only) while another picture is taken in. Either copy
// that cannot be written refuses the picture: otherwise the earlier
// picture's JPEG copy would be shown and measured while this one's PNG
// copy is packaged.
TEST_F(IntakeTest, AWorkingCopyHeldByAnotherProgramRefusesThePictureAndEmptiesTheBox) {
  for (const std::string& held : {jpegCopy(), pngCopy()})
    for (const char* source : {"intake.jpg", "intake1024x768.png"}) {
      SCOPED_TRACE(held + " held while taking in " + source);
      expectMessages(takeInAnswering(fixture("intake1024x768.png")), {});  // picture A
      ASSERT_FALSE(shown().empty());
      FileHandle viewer(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(viewer);
      // The user closes the viewer before answering the message.
      expectMessages(takeInAnswering(fixture(source), [&] { viewer.reset(); }), {kCopyInUse});
      EXPECT_FALSE(fileExists(pngCopy()));
      EXPECT_FALSE(fileExists(jpegCopy()));
      EXPECT_TRUE(shown().empty());
      EXPECT_EQ(sourceImagePath, fixture("intake1024x768.png"));
    }
}

// A phone photo stored turned, with its EXIF orientation, and named
// .jpeg: taken in upright, in both working copies and the picture box.
TEST_F(IntakeTest, APhonePhotoIsTakenInUprightByItsJpegName) {
  expectMessages(takeInAnswering(fixture("intakephone.jpeg")), {});
  EXPECT_EQ(sourceImagePath, fixture("intakephone.jpeg"));
  for (const std::string& copy : {pngCopy(), jpegCopy()}) {
    ImageObject decoded;
    ASSERT_TRUE(decoded.DecodeFromFile(copy, IMAGE_FORMAT_UNKNOWN)) << copy;
    const Picture& picture = *decoded.codec()->GetPicture();
    EXPECT_EQ(picture.width, 1024u) << copy;
    EXPECT_EQ(picture.height, 768u) << copy;
    // Upright, the gradient runs from navy at the top to orange at the bottom.
    const std::uint8_t* top = &picture.pixels[3 * 512];
    const std::uint8_t* bottom = &picture.pixels[3 * (767 * 1024 + 512)];
    EXPECT_GT(top[2], top[0]) << copy;
    EXPECT_GT(bottom[0], bottom[2]) << copy;
  }
  EXPECT_EQ(shown().view(), readFileBytes(jpegCopy()).view());
}

// CopyFileA hands the source's attributes on. A read-only PNG copy could
// not be replaced by the next picture's on Windows, so the next package
// would hold this picture.
TEST_F(IntakeTest, WorkingCopiesNeverTakeOverTheSourcesAttributes) {
  TestFolder scratch;
  for (const char* name : {"intake1024x768.png", "intake.jpg"}) {
    const std::string source = scratch / name;
    ASSERT_TRUE(copyFile(fixture(name), source));
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    expectMessages(takeInAnswering(source), {});
    for (const std::string& copy : {pngCopy(), jpegCopy()})
      EXPECT_EQ(GetFileAttributesA(copy.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u)
          << copy << " after " << name;
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

namespace {

// An uncompressed 24-bit BMP of noise, or of gradients with a little noise
// (as a photograph compresses: slowly, at about 3 megapixels a second).
void writeNoiseBmp(const std::string& path, int side, bool photoLike = false) {
  const std::uint32_t rowBytes = (side * 3 + 3) / 4 * 4;  // rows padded to four bytes
  const std::uint32_t pixelBytes = rowBytes * side, fileBytes = 54 + pixelBytes;
  std::vector<std::uint8_t> file(fileBytes, 0);
  auto put32 = [&](int at, std::uint32_t v) { std::memcpy(&file[at], &v, 4); };
  file[0] = 'B', file[1] = 'M', file[26] = 1, file[28] = 24;
  put32(2, fileBytes), put32(10, 54), put32(14, 40), put32(18, side), put32(22, side);
  std::uint32_t seed = 12345;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      std::uint8_t* p = &file[54 + y * rowBytes + 3 * x];
      const int noise = static_cast<int>((seed = seed * 1103515245 + 12345) >> 24);
      if (!photoLike) {
        p[0] = static_cast<std::uint8_t>(noise);
        p[1] = static_cast<std::uint8_t>(noise >> 2 ^ x);
        p[2] = static_cast<std::uint8_t>(noise >> 4 ^ y);
      } else {
        p[0] = static_cast<std::uint8_t>(x * 255 / side + (noise & 3));
        p[1] = static_cast<std::uint8_t>(y * 255 / side + (noise & 3));
        p[2] = static_cast<std::uint8_t>((x + y) / 4 + (noise & 3));
      }
    }
  writeFileBytes(path, ByteBuffer(file.data(), file.size()));
}

// What the UI thread saw when another thread's message reached it.
UINT probeMessage = 0;
std::atomic<bool> intakeRunning{false};
std::atomic<int> answeredDuringIntake{0}, waitCursorDuringIntake{0};
LRESULT CALLBACK watchProbes(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == probeMessage && intakeRunning) {
    ++answeredDuringIntake;
    if (GetCursor() == LoadCursorA(nullptr, IDC_WAIT)) ++waitCursorDuringIntake;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// Windows marks a window as not responding when its thread has not looked
// at its queue for 5 s; a large picture takes that long. Messages sent from
// another thread are answered only when the thread looks.
TEST_F(IntakeTest, ALargePictureShowsTheWaitCursorAndKeepsAnsweringTheSystem) {
  TestFolder scratch;
  const std::string picture = scratch / "noise.bmp";
  writeNoiseBmp(picture, 2048);
  HWND main = unitsWindow()->hwnd();
  probeMessage = RegisterWindowMessageA("TarvexForgeIntakeProbe");
  answeredDuringIntake = waitCursorDuringIntake = 0;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watchProbes, nullptr, GetCurrentThreadId());
  intakeRunning = true;
  std::thread system([&] {
    while (intakeRunning) {
      DWORD_PTR result = 0;
      SendMessageTimeoutA(main, probeMessage, 0, 0, SMTO_NORMAL, 100, &result);
      Sleep(10);
    }
  });
  const DWORD start = GetTickCount();
  takeInPicture(picture, unitsPictureBox());
  const DWORD took = GetTickCount() - start;
  intakeRunning = false;
  system.join();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(sourceImagePath, picture);
  EXPECT_GE(answeredDuringIntake, 3) << "the intake took " << took << " ms";
  EXPECT_EQ(waitCursorDuringIntake, answeredDuringIntake.load());
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
}

// The PNG copy is written on a second thread; a picture refused while it
// still writes (the size is known long before the copy of a large picture
// is done) leaves no working copy behind, then or later.
TEST_F(IntakeTest, APictureRefusedWhileItsPngCopyIsWrittenLeavesNoCopy) {
  TestFolder scratch;
  // Its PNG copy takes seconds, longer than the message and the patience
  // of the removal that follows it.
  const std::string picture = scratch / "photo3070.bmp";
  writeNoiseBmp(picture, 3070, true);
  expectMessages(takeInAnswering(picture), {kWrongSize});
  EXPECT_FALSE(fileExists(pngCopy()));
  EXPECT_FALSE(fileExists(jpegCopy()));
  Sleep(1500);  // no thread still at work writes it again
  EXPECT_FALSE(fileExists(pngCopy()));
}

TEST_F(IntakeTest, TheDialogLeavesTheProgramFolderCurrent) {
  // The user confirms a picture in another folder; the dialog may make that
  // folder current, and choosePicture makes the program's folder current again.
  choosePictureAnswering(widen(fixture("intake1024x768.png")));
  EXPECT_EQ(sourceImagePath, fixture("intake1024x768.png"));
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(lstrcmpiA(current, programDir().c_str()), 0) << current;
}

namespace {

const SeenMessage kPathUnusable{"Tarvex Forge", "图片所在路径含有本程序无法使用的字符！\r\n请把图片移到其他文件夹或改名后再试。"};

// A file list as Explorer hands it over, in UTF-16 (fWide).
struct WideFileList {
  explicit WideFileList(const std::wstring& path) {
    const std::size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(block);
  }
  ~WideFileList() { GlobalFree(block); }
  Text droppedText(ShortPathLookup shortPath = systemShortPath) const {
    const Text text = droppedFilesText(static_cast<HDROP>(GlobalLock(block)), shortPath);
    GlobalUnlock(block);
    return text;
  }
  HGLOBAL block;
};

// A volume without short names, as Windows may be set up: the stand-in for
// the branch Wine never takes (it makes a short name for every file).
std::wstring noShortNames(const std::wstring&) { return L""; }

// "한글 ✿": no character of it has a GBK form.
std::wstring outsideGbk(const TestFolder& scratch) { return widen(scratch.path()) + L"\\\uD55C\uAE00 \u273F"; }

}  // namespace

// A picture in a folder named with characters outside GBK reaches the
// program by its short name, by drop and by the dialog, and is taken in by
// the type of its real name (a.jfif's short name ends in ".JFI", which no
// row of the table matches).
TEST_F(IntakeTest, APictureInAFolderNamedOutsideGbkIsTakenInByItsShortName) {
  TestFolder scratch;
  ASSERT_TRUE(CreateDirectoryW(outsideGbk(scratch).c_str(), nullptr));
  for (const auto& [name, source] : {std::pair{L"a.png", "intake1024x768.png"}, std::pair{L"a.jfif", "intake.jpg"},
                                     std::pair{L"a.jpeg", "intake.jpg"}}) {
    SCOPED_TRACE(narrow(name));
    const std::wstring picture = outsideGbk(scratch) + L"\\" + name;
    ASSERT_TRUE(CopyFileW(widen(fixture(source)).c_str(), picture.c_str(), FALSE));
    const Text dropped = WideFileList(picture).droppedText();
    ASSERT_TRUE(pathIsUsable(dropped)) << dropped;
    expectMessages(takeInAnswering(dropped), {});
    EXPECT_EQ(sourceImagePath, dropped);
    EXPECT_TRUE(fileExists(pngCopy()));

    deleteFile(pngCopy());
    sourceImagePath.clear();
    choosePictureAnswering(picture);
    EXPECT_TRUE(pathIsUsable(sourceImagePath)) << sourceImagePath;
    EXPECT_TRUE(fileExists(sourceImagePath));
    EXPECT_TRUE(fileExists(pngCopy()));
  }
}

// A path without a usable form is refused naming the right folder: the
// program's own first, then the desktop, then the picture's.
TEST(UnusablePaths, NameTheProgramFolderThenTheDesktopThenThePicture) {
  TestFolder scratch;
  ASSERT_TRUE(CreateDirectoryW(outsideGbk(scratch).c_str(), nullptr));
  const Text bad = pathFromWindows(outsideGbk(scratch), noShortNames), good = scratch.path();
  ASSERT_FALSE(pathIsUsable(bad));
  const std::string program = "本程序所在文件夹的路径含有本程序无法使用的字符！\r\n请把本程序放到其他文件夹后再运行。";
  const std::string desktop = "桌面文件夹的路径含有本程序无法使用的字符，无法存放制作好的文件！";
  const std::string picture = kPathUnusable.text;
  EXPECT_EQ(unusablePathText(bad + "\\a.png", bad, bad), program);
  EXPECT_EQ(unusablePathText(bad + "\\a.png", good, bad), desktop);
  EXPECT_EQ(unusablePathText(good + "\\a.png", good, bad), desktop);
  EXPECT_EQ(unusablePathText(bad + "\\a.png", good, good), picture);
  EXPECT_EQ(unusablePathText(good + "\\a.png", good, good), nullptr);
}

// Where the volume has no short name, the picture is refused for its path,
// and nothing is written.
TEST_F(IntakeTest, APathWithNoGbkFormAndNoShortNameIsRefusedForItsPath) {
  TestFolder scratch;
  const std::wstring picture = outsideGbk(scratch) + L"\\a.png";
  ASSERT_TRUE(CreateDirectoryW(outsideGbk(scratch).c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(widen(fixture("intake1024x768.png")).c_str(), picture.c_str(), FALSE));
  const Text dropped = WideFileList(picture).droppedText(noShortNames);
  EXPECT_FALSE(pathIsUsable(dropped));
  expectMessages(takeInAnswering(dropped), {kPathUnusable});
  EXPECT_FALSE(fileExists(pngCopy()));
  EXPECT_FALSE(fileExists(jpegCopy()));
  EXPECT_EQ(sourceImagePath, "");
}
