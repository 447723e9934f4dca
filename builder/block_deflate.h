#pragma once
// A file's bytes as one raw deflate stream at level 8, for the archive,
// read in one pass. A file of more than one block is cut into blocks that a
// small pool of threads deflates at once, as parallel gzip tools do: each
// block is primed with the 32 KiB of input before it and, but for the last,
// ended on a byte boundary (an empty stored block), so that the blocks
// joined in order are one valid stream. The bytes depend only on the input,
// never on the number of threads. At most two blocks a thread are in memory.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

inline constexpr std::size_t kDeflateBlockSize = 256 * 1024;

// Fills the buffer with up to `capacity` bytes of the file; the count read
// (0 at its end), or -1 on a read error.
using ReadBytes = std::function<long long(std::uint8_t* buffer, std::size_t capacity)>;
// Appends bytes to the archive; false on a write error.
using WriteBytes = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

struct DeflatedFile {
  std::uint32_t crc = 0, size = 0, compressedSize = 0;
};

// False on a read or write error, or when `abandoned` turns true; the
// threads are done with everything when it returns.
bool deflateFile(const ReadBytes& read, const WriteBytes& write, unsigned threads,
                 const std::atomic<bool>* abandoned, DeflatedFile& result);
