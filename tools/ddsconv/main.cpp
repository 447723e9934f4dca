// ddsconv: converts a PNG picture into a DDS texture.
//   ddsconv [-nomipmap] [-dxt1|-dxt3|-dxt5] -file "<png>" -output "<dds>"
// Options in any order; DXT3 is the default; one level (no mip maps) is
// always written. Exit code 0 on success; otherwise a one-line message on
// standard error, a non-zero exit code and no output file. The command
// line and the files go through Windows' UTF-16 calls, so that a folder
// with Chinese characters works whatever the system's code page.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include "dxt_compressor.h"
#include "png_input.h"

namespace {

enum ExitCode { kDone = 0, kUsage = 1, kBadInput = 2, kWriteFailed = 3 };

struct Options {
  std::wstring input, output;
  DxtFormat format = DxtFormat::Dxt3;
};

bool parse(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const wchar_t* arg = argv[i];
    if (!std::wcscmp(arg, L"-nomipmap")) continue;
    if (!std::wcscmp(arg, L"-dxt1")) options.format = DxtFormat::Dxt1;
    else if (!std::wcscmp(arg, L"-dxt3")) options.format = DxtFormat::Dxt3;
    else if (!std::wcscmp(arg, L"-dxt5")) options.format = DxtFormat::Dxt5;
    else if (!std::wcscmp(arg, L"-file") && i + 1 < argc) options.input = argv[++i];
    else if (!std::wcscmp(arg, L"-output") && i + 1 < argc) options.output = argv[++i];
    else return false;
  }
  return !options.input.empty() && !options.output.empty();
}

// A path in a message, as UTF-8.
std::string shown(const std::wstring& path) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), text.data(), length, nullptr, nullptr);
  return text;
}

int fail(ExitCode code, const std::string& message) {
  std::fprintf(stderr, "ddsconv: %s\n", message.c_str());
  return code;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Another program (a virus scanner, the indexer) may hold a new file or
// the one replaced for a moment: the move is tried again for about 1 s.
bool moveIntoPlace(const std::wstring& from, const std::wstring& to) {
  for (DWORD pause = 10, waited = 0;; waited += pause, pause = std::min<DWORD>(pause * 2, 200)) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (!held || waited >= 1000) return false;
    Sleep(pause);
  }
}

// Written to a temporary file first and renamed, so that a failed write
// leaves no .dds behind.
bool writeAtomically(const std::wstring& path, const std::vector<std::uint8_t>& header,
                     const std::vector<std::uint8_t>& blocks) {
  const std::wstring temporary = path + L".tmp";
  std::FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (!file) return false;
  const bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                       std::fwrite(blocks.data(), 1, blocks.size(), file) == blocks.size();
  const bool closed = std::fclose(file) == 0;
  if (written && closed && moveIntoPlace(temporary, path)) return true;
  DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!parse(argc, argv, options))
    return fail(kUsage, "usage: ddsconv [-nomipmap] [-dxt1|-dxt3|-dxt5] -file <png> -output <dds>");
  RgbaPicture picture;
  std::string reason;
  const std::unique_ptr<std::FILE, FileCloser> input(_wfopen(options.input.c_str(), L"rb"));
  if (!input) return fail(kBadInput, "cannot open " + shown(options.input));
  if (!readPngRgba(input.get(), shown(options.input), picture, reason)) return fail(kBadInput, reason);
  std::vector<std::uint8_t> blocks;
  try {
    blocks = compressDxt(picture, options.format, std::max(1u, std::thread::hardware_concurrency()));
  } catch (const std::exception&) {
    return fail(kBadInput, "out of memory");
  }
  if (!writeAtomically(options.output, ddsHeader(picture.width, picture.height, options.format), blocks))
    return fail(kWriteFailed, "cannot write " + shown(options.output));
  return kDone;
}
