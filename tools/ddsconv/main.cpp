// ddsconv: converts a PNG picture into a DDS texture.
//   ddsconv [-nomipmap] [-dxt1|-dxt3|-dxt5] -file "<png>" -output "<dds>"
// Options in any order; DXT3 is the default; one level (no mip maps) is
// always written. Exit code 0 on success; otherwise a one-line message on
// standard error, a non-zero exit code and no output file.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "dxt_compressor.h"
#include "png_input.h"

namespace {

enum ExitCode { kDone = 0, kUsage = 1, kBadInput = 2, kWriteFailed = 3 };

struct Options {
  std::string input, output;
  DxtFormat format = DxtFormat::Dxt3;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "-nomipmap")) continue;
    if (!std::strcmp(arg, "-dxt1")) options.format = DxtFormat::Dxt1;
    else if (!std::strcmp(arg, "-dxt3")) options.format = DxtFormat::Dxt3;
    else if (!std::strcmp(arg, "-dxt5")) options.format = DxtFormat::Dxt5;
    else if (!std::strcmp(arg, "-file") && i + 1 < argc) options.input = argv[++i];
    else if (!std::strcmp(arg, "-output") && i + 1 < argc) options.output = argv[++i];
    else return false;
  }
  return !options.input.empty() && !options.output.empty();
}

int fail(ExitCode code, const std::string& message) {
  std::fprintf(stderr, "ddsconv: %s\n", message.c_str());
  return code;
}

// Written to a temporary file first and renamed, so that a failed write
// leaves no .dds behind.
bool writeAtomically(const std::string& path, const std::vector<std::uint8_t>& header,
                     const std::vector<std::uint8_t>& blocks) {
  const std::string temporary = path + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                       std::fwrite(blocks.data(), 1, blocks.size(), file) == blocks.size();
  const bool closed = std::fclose(file) == 0;
  if (written && closed && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  DeleteFileA(temporary.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options))
    return fail(kUsage, "usage: ddsconv [-nomipmap] [-dxt1|-dxt3|-dxt5] -file <png> -output <dds>");
  RgbaPicture picture;
  std::string reason;
  if (!readPngRgba(options.input, picture, reason)) return fail(kBadInput, reason);
  std::vector<std::uint8_t> blocks;
  try {
    blocks = compressDxt(picture, options.format, std::max(1u, std::thread::hardware_concurrency()));
  } catch (const std::exception&) {
    return fail(kBadInput, "out of memory");
  }
  if (!writeAtomically(options.output, ddsHeader(picture.width, picture.height, options.format), blocks))
    return fail(kWriteFailed, "cannot write " + options.output);
  return kDone;
}
