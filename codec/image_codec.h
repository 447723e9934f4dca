#pragma once
// The image codec component: one held picture, decoded from a file by
// format id (falling back to detection by content) and encoded as JPEG or
// PNG. Failure is reported by results only; nothing here throws.
#include <memory>
#include <optional>
#include <string>

#include "image_format.h"
#include "keep_alive.h"
#include "picture.h"

class ImageCodec {
 public:
  bool Load(const std::string& path, ImageFormat format, KeepAlive keepAlive = nullptr);
  // Load for a file's bytes already in memory.
  bool LoadBytes(const std::uint8_t* data, std::size_t size, ImageFormat format, KeepAlive keepAlive = nullptr);
  // Reads the held picture only: two threads may save it at once.
  bool Save(const std::string& path, ImageFormat format, KeepAlive keepAlive = nullptr) const;

  const Picture* GetPicture() const { return picture_ ? &*picture_ : nullptr; }
  bool IsGrayScale() const { return picture_ && isGrayScale(*picture_); }
  int GetJpegQuality() const { return 90; }
  int GetCodecOption(ImageFormat) const { return 0; }

 private:
  std::optional<Picture> picture_;
};

// The holder of at most one ImageCodec (the program's imageObject).
class ImageObject {
 public:
  void Free() { codec_.reset(); }
  bool DecodeFromFile(const std::string& path, ImageFormat format);
  bool EecodeToFile(const std::string& path, ImageFormat format);
  // For a file read once already: DecodeFromFile's rules without the path.
  bool DecodeFromMemory(const std::uint8_t* data, std::size_t size, ImageFormat format);
  // From another thread than the one that decoded: that thread's
  // keep-alive callback is for that thread; give this one's, or none.
  bool EecodeToFile(const std::string& path, ImageFormat format, KeepAlive keepAlive) const;
  ImageCodec* codec() { return codec_.get(); }
  // Called every few rows while a picture is decoded or encoded.
  void SetKeepAlive(KeepAlive keepAlive) { keepAlive_ = keepAlive; }

 private:
  std::unique_ptr<ImageCodec> codec_;
  KeepAlive keepAlive_ = nullptr;
};

// Detection by content, in order: BMP, JPEG, GIF, PNG, TIFF, WebP, TGA. ICO, PCX,
// WBMP, WMF and the JPEG 2000 family are left out (this system never asks
// for them); their places in the order are skipped.
bool decodeByContent(const std::uint8_t* data, std::size_t size, Picture& out,
                     KeepAlive keepAlive = nullptr);
// The decoder of one format id, or false for ids without one.
bool decodeAs(ImageFormat format, const std::uint8_t* data, std::size_t size, Picture& out,
              KeepAlive keepAlive = nullptr);
