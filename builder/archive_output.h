#pragma once
// Where an archive's bytes go: a byte sink that appends them in order and
// counts them (the entries' offsets). The file sink can also write a part
// again in place, as the first local header of each entry is once its
// sizes are known; the memory sink collects bytes so that a part can be
// made before it is written.
#include <windows.h>

#include <cstdint>
#include <vector>

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool write(const void* bytes, std::size_t count) = 0;
  virtual std::uint32_t offset() const = 0;
  bool write(const std::vector<std::uint8_t>& bytes) { return write(bytes.data(), bytes.size()); }
};

class MemorySink : public ByteSink {
 public:
  bool write(const void* bytes, std::size_t count) override;
  std::uint32_t offset() const override { return static_cast<std::uint32_t>(bytes_.size()); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// An open file (not owned), written from its start.
class FileSink : public ByteSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  bool write(const void* bytes, std::size_t count) override;
  std::uint32_t offset() const override { return offset_; }
  // The bytes at an earlier offset again; the end of the file stays where
  // it was for the next write.
  bool rewrite(std::uint32_t at, const std::vector<std::uint8_t>& bytes);

 private:
  HANDLE file_;
  std::uint32_t offset_ = 0;
};
