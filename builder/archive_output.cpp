#include "archive_output.h"

bool MemorySink::write(const void* bytes, std::size_t count) {
  const auto* first = static_cast<const std::uint8_t*>(bytes);
  bytes_.insert(bytes_.end(), first, first + count);
  return true;
}

bool FileSink::write(const void* bytes, std::size_t count) {
  DWORD written = 0;
  if (count && (!WriteFile(file_, bytes, static_cast<DWORD>(count), &written, nullptr) || written != count))
    return false;
  offset_ += static_cast<std::uint32_t>(count);
  return true;
}

bool FileSink::rewrite(std::uint32_t at, const std::vector<std::uint8_t>& bytes) {
  if (SetFilePointer(file_, static_cast<LONG>(at), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  SetFilePointer(file_, static_cast<LONG>(offset_), nullptr, FILE_BEGIN);
  return ok;
}
