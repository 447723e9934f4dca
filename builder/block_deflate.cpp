#include "block_deflate.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <zlib.h>

namespace {

constexpr int kLevel = 8;              // good 32, lazy 128, nice 258, chain 1024
constexpr std::size_t kWindow = 32 * 1024;

struct Block {
  std::vector<std::uint8_t> dictionary;  // the 32 KiB before it (none for the first)
  std::vector<std::uint8_t> input, output;
  bool last = false, done = false, failed = false;
};

// One block on its own: primed with what came before, ended on a byte
// boundary unless it is the last, which ends the stream.
bool deflateBlock(Block& block) {
  z_stream stream{};
  if (deflateInit2(&stream, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  bool ok = block.dictionary.empty() ||
            deflateSetDictionary(&stream, block.dictionary.data(), static_cast<uInt>(block.dictionary.size())) == Z_OK;
  block.output.resize(deflateBound(&stream, static_cast<uLong>(block.input.size())) + 16);
  stream.next_in = block.input.data();
  stream.avail_in = static_cast<uInt>(block.input.size());
  std::size_t produced = 0;
  for (;;) {  // once, unless the bound was short
    stream.next_out = block.output.data() + produced;
    stream.avail_out = static_cast<uInt>(block.output.size() - produced);
    const int result = ok ? deflate(&stream, block.last ? Z_FINISH : Z_SYNC_FLUSH) : Z_STREAM_ERROR;
    produced = block.output.size() - stream.avail_out;
    ok = ok && (result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR);
    const bool finished = block.last ? result == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out > 0;
    if (!ok || finished) break;
    block.output.resize(block.output.size() * 2);
  }
  block.output.resize(produced);
  deflateEnd(&stream);
  return ok;
}

// The blocks between reading and writing, and the threads that deflate
// them. The calling thread reads and writes; the pool deflates.
class BlockPool {
 public:
  explicit BlockPool(unsigned threads) {
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
  }
  ~BlockPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  void submit(const std::shared_ptr<Block>& block) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      waiting_.push_back(block);
    }
    wake_.notify_one();
  }
  void waitFor(const Block& block) {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return block.done; });
  }

 private:
  void work() {
    for (;;) {
      std::shared_ptr<Block> block;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        block = waiting_.front();
        waiting_.pop_front();
      }
      const bool ok = deflateBlock(*block);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        block->failed = !ok;
        block->done = true;
      }
      finished_.notify_all();
    }
  }
  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::deque<std::shared_ptr<Block>> waiting_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

// Reads one block's worth; false on a read error.
bool readBlock(const ReadBytes& read, std::vector<std::uint8_t>& input) {
  input.resize(kDeflateBlockSize);
  std::size_t filled = 0;
  while (filled < input.size()) {
    const long long got = read(input.data() + filled, input.size() - filled);
    if (got < 0) return false;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  input.resize(filled);
  return true;
}

}  // namespace

bool deflateFile(const ReadBytes& read, const WriteBytes& write, unsigned threads,
                 const std::atomic<bool>* abandoned, DeflatedFile& result) {
  result = {};
  std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  std::vector<std::uint8_t> next;
  if (!readBlock(read, next)) return false;
  if (next.size() < kDeflateBlockSize) {  // a small file: one stream, on this thread
    Block block;
    block.input = std::move(next);
    block.last = true;
    result.crc = static_cast<std::uint32_t>(crc32(crc, block.input.data(), static_cast<uInt>(block.input.size())));
    result.size = static_cast<std::uint32_t>(block.input.size());
    result.compressedSize = 0;
    if (!deflateBlock(block)) return false;
    result.compressedSize = static_cast<std::uint32_t>(block.output.size());
    return write(block.output.data(), block.output.size());
  }
  BlockPool pool(std::max(1u, threads));
  std::deque<std::shared_ptr<Block>> inFlight;  // read and submitted, in file order
  const std::size_t limit = 2 * std::max(1u, threads);
  bool ok = true, ended = false;
  std::vector<std::uint8_t> previousTail;
  while (ok && (!ended || !inFlight.empty())) {
    // Keep the pool busy: read ahead one block, to know which is the last.
    while (ok && !ended && inFlight.size() < limit) {
      if (abandoned && *abandoned) {
        ok = false;
        break;
      }
      auto block = std::make_shared<Block>();
      block->input = std::move(next);
      if (!readBlock(read, next)) {
        ok = false;
        break;
      }
      block->last = next.empty();
      ended = block->last;
      block->dictionary = previousTail;
      const std::size_t keep = std::min(kWindow, block->input.size());
      previousTail.assign(block->input.end() - static_cast<std::ptrdiff_t>(keep), block->input.end());
      crc = static_cast<std::uint32_t>(crc32(crc, block->input.data(), static_cast<uInt>(block->input.size())));
      result.size += static_cast<std::uint32_t>(block->input.size());
      pool.submit(block);
      inFlight.push_back(block);
    }
    if (inFlight.empty()) break;
    const std::shared_ptr<Block> oldest = inFlight.front();
    inFlight.pop_front();
    pool.waitFor(*oldest);
    ok = ok && !oldest->failed && write(oldest->output.data(), oldest->output.size());
    result.compressedSize += static_cast<std::uint32_t>(oldest->output.size());
  }
  for (const std::shared_ptr<Block>& block : inFlight) pool.waitFor(*block);  // nothing left running
  result.crc = crc;
  return ok;
}
