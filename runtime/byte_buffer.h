#pragma once
// ByteBuffer: an owned, counted byte sequence. An empty buffer and an
// absent one are the same value. Its own allocations end the program through
// fatalError when the heap is exhausted (other code's allocations are not
// affected: a decoder's failed allocation stays a failed decode).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  explicit ByteBuffer(std::size_t count);  // zero-filled
  ByteBuffer(const void* bytes, std::size_t count);
  ByteBuffer(const ByteBuffer& other);
  ByteBuffer& operator=(const ByteBuffer& other);
  ByteBuffer(ByteBuffer&& other) noexcept;
  ByteBuffer& operator=(ByteBuffer&& other) noexcept;
  ~ByteBuffer() = default;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
  // Keeps only the first `count` bytes (no reallocation).
  void truncate(std::size_t count);
  std::string_view view() const {
    return {reinterpret_cast<const char*>(bytes_.get()), size_};
  }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

std::int64_t bufferLength(const ByteBuffer& buffer);
ByteBuffer bufferLeft(const ByteBuffer& buffer, std::int64_t count);
ByteBuffer bufferMid(const ByteBuffer& buffer, std::int64_t start, std::int64_t count);
ByteBuffer zeroBuffer(std::int64_t count);
// Little-endian; a buffer shorter than four bytes reads as zero-padded.
std::int32_t readInt32(const ByteBuffer& buffer);
ByteBuffer textToBuffer(std::string_view text);
ByteBuffer bufferFromMemory(const void* address, std::int64_t count);
// Copies min(count, length) bytes; a negative count copies the whole buffer.
void bufferToMemory(const ByteBuffer& buffer, void* address, std::int64_t count);
int compareBytes(const void* a, const void* b, std::int64_t count);
