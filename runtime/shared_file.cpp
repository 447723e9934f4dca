#include "shared_file.h"

#include <windows.h>

#include <algorithm>

#include "wide_text.h"

namespace {

constexpr std::size_t kPieceBytes = 8u << 20;

// At most `count` bytes at `offset`; how many came, or -1 on a read error.
std::int64_t readPiece(HANDLE file, std::uint64_t offset, std::size_t count, std::uint8_t* out) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  if (!ReadFile(file, out, static_cast<DWORD>(count), &got, &at))
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return got;
}

}  // namespace

SharedFile::SharedFile(const Text& path)
    : file_(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  LARGE_INTEGER size{};
  if (file_ && GetFileSizeEx(file_.get(), &size) && size.QuadPart >= 0) size_ = static_cast<std::uint64_t>(size.QuadPart);
  else file_.reset();
}

bool SharedFile::readAt(std::uint64_t offset, std::size_t count, std::uint8_t* out) const {
  for (std::size_t done = 0; done < count;) {
    const std::int64_t got = readPiece(file_.get(), offset + done, std::min(count - done, kPieceBytes), out + done);
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

SharedFile::Whole SharedFile::readAll(ByteBuffer& bytes, void (*betweenPieces)()) const {
  if (!file_ || size_ > SIZE_MAX) return Whole::Failed;
  ByteBuffer whole(static_cast<std::size_t>(size_));
  for (std::size_t done = 0; done < whole.size();) {
    const std::int64_t got = readPiece(file_.get(), done, std::min(whole.size() - done, kPieceBytes), whole.data() + done);
    if (got < 0) return Whole::Failed;
    if (got == 0) return Whole::Changed;  // it ended early: it was cut meanwhile
    done += static_cast<std::size_t>(got);
    if (betweenPieces) betweenPieces();
  }
  std::uint8_t beyond = 0;
  LARGE_INTEGER now{};
  if (readPiece(file_.get(), size_, 1, &beyond) != 0 || !GetFileSizeEx(file_.get(), &now) ||
      static_cast<std::uint64_t>(now.QuadPart) != size_)
    return Whole::Changed;
  bytes = std::move(whole);
  return Whole::Read;
}
