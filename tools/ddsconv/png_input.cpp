#include "png_input.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <png.h>

namespace {

void failOnError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The libpng part; no C++ object is created after setjmp.
bool decode(std::FILE* file, RgbaPicture& picture, std::vector<png_bytep>& rows, std::string& reason) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, failOnError, ignoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    reason = "out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_set_user_limits(png, 65500, 65500);
  png_read_info(png, info);
  png_set_expand(png);          // palette, low-bit grey and tRNS to 8-bit samples and alpha
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // opaque when the file has no alpha
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  picture.width = static_cast<int>(png_get_image_width(png, info));
  picture.height = static_cast<int>(png_get_image_height(png, info));
  if (static_cast<unsigned long long>(picture.width) * picture.height > 64ull * 1024 * 1024) {
    reason = "picture too large";
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  picture.rgba.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
  rows.resize(static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) rows[y] = &picture.rgba[static_cast<std::size_t>(y) * picture.width * 4];
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

bool readPngRgba(std::FILE* file, const std::string& name, RgbaPicture& picture, std::string& reason) {
  unsigned char signature[8] = {};
  if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    reason = name + " is not a PNG file";
    return false;
  }
  std::rewind(file);
  std::vector<png_bytep> rows;
  try {
    if (decode(file, picture, rows, reason)) return true;
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  }
  reason = name + ": " + reason;
  return false;
}

bool readPngRgba(const std::string& path, RgbaPicture& picture, std::string& reason) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    reason = "cannot open " + path;
    return false;
  }
  return readPngRgba(file.get(), path, picture, reason);
}
