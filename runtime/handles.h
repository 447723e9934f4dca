#pragma once
// Owners for the platform handles the services open, so that each
// operation closes what it opened on every path.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::valid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    if (Traits::valid(handle_)) Traits::close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {  // process, thread, event: NULL when absent
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void close(Handle h) { CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFileA: INVALID_HANDLE_VALUE when absent
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE; }
  static void close(Handle h) { FindClose(h); }
};

struct ChangeNotificationTraits {  // FindFirstChangeNotificationW
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void close(Handle h) { FindCloseChangeNotification(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using ChangeNotification = UniqueHandle<ChangeNotificationTraits>;

// Closes a file that was written, for a result: a close can fail too (data
// the system still held that no longer fits), and a file counts as written
// only when it did not.
inline bool closeWrittenFile(FileHandle& file) { return CloseHandle(file.release()) != 0; }
