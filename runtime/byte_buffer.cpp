#include "byte_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "fatal_error.h"

namespace {

std::unique_ptr<std::uint8_t[]> allocateBytes(std::size_t count) {
  if (count == 0) return nullptr;
  auto* bytes = new (std::nothrow) std::uint8_t[count];
  if (!bytes) reportAllocationFailure(count);
  return std::unique_ptr<std::uint8_t[]>(bytes);
}

std::size_t clampCount(std::int64_t count) {
  return count <= 0 ? 0 : static_cast<std::size_t>(count);
}

}  // namespace

ByteBuffer::ByteBuffer(std::size_t count) : bytes_(allocateBytes(count)), size_(count) {
  if (count) std::memset(bytes_.get(), 0, count);
}

ByteBuffer::ByteBuffer(const void* bytes, std::size_t count)
    : bytes_(allocateBytes(count)), size_(count) {
  if (count) std::memcpy(bytes_.get(), bytes, count);
}

ByteBuffer::ByteBuffer(const ByteBuffer& other) : ByteBuffer(other.data(), other.size()) {}

ByteBuffer& ByteBuffer::operator=(const ByteBuffer& other) {
  if (this != &other) *this = ByteBuffer(other);
  return *this;
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : bytes_(std::move(other.bytes_)), size_(other.size_) {
  other.size_ = 0;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
  bytes_ = std::move(other.bytes_);
  size_ = other.size_;
  other.size_ = 0;
  return *this;
}

void ByteBuffer::truncate(std::size_t count) {
  size_ = std::min(size_, count);
  if (size_ == 0) bytes_.reset();
}

std::int64_t bufferLength(const ByteBuffer& buffer) {
  return static_cast<std::int64_t>(buffer.size());
}

ByteBuffer bufferLeft(const ByteBuffer& buffer, std::int64_t count) {
  return ByteBuffer(buffer.data(), std::min(clampCount(count), buffer.size()));
}

ByteBuffer bufferMid(const ByteBuffer& buffer, std::int64_t start, std::int64_t count) {
  const std::size_t offset = std::min(clampCount(start - 1), buffer.size());
  const std::size_t taken = std::min(clampCount(count), buffer.size() - offset);
  return ByteBuffer(buffer.data() + offset, taken);
}

ByteBuffer zeroBuffer(std::int64_t count) { return ByteBuffer(clampCount(count)); }

std::int32_t readInt32(const ByteBuffer& buffer) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < buffer.size(); ++i) value |= std::uint32_t{buffer[i]} << (8 * i);
  return static_cast<std::int32_t>(value);
}

ByteBuffer textToBuffer(std::string_view text) { return ByteBuffer(text.data(), text.size()); }

ByteBuffer bufferFromMemory(const void* address, std::int64_t count) {
  return ByteBuffer(address, clampCount(count));
}

void bufferToMemory(const ByteBuffer& buffer, void* address, std::int64_t count) {
  const std::size_t copied = count < 0 ? buffer.size() : std::min(clampCount(count), buffer.size());
  if (copied) std::memcpy(address, buffer.data(), copied);
}

int compareBytes(const void* a, const void* b, std::int64_t count) {
  if (count <= 0) return 0;
  const int order = std::memcmp(a, b, static_cast<std::size_t>(count));
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}
