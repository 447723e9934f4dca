#pragma once
// File and folder services. Each reports failure by its result only.
#include <cstdint>
#include <initializer_list>

#include "byte_buffer.h"
#include "text.h"

bool copyFile(const Text& source, const Text& target);  // replaces the target
bool deleteFile(const Text& path);
// Replaces the target (MoveFileEx, written through to the disk).
bool moveFile(const Text& source, const Text& target);
bool createFolder(const Text& path);  // one level; false when it exists
// Removes a folder and everything in it, except entries whose names begin
// with "." (which then keep the folder, and the result is false). Refuses
// drive roots.
bool removeFolderTree(const Text& path);
bool fileExists(const Text& path);  // folders and wildcard matches count
// Whether a new file can be made in the folder: one is made and removed.
// False where the folder refuses writes (no right to write, controlled
// folder access, read-only media).
bool folderTakesNewFiles(const Text& folder);
// Passes on the read-only, hidden, system and archive bits only (0x27).
bool setFileAttributes(const Text& path, std::uint32_t attributes);
// Gives a file normal attributes (none set). Windows refuses to replace a
// read-only file, and CopyFileA hands the source's attributes (read-only,
// hidden) on to the copy: working files are made normal before and after
// they are written.
bool makeNormalFile(const Text& path);
// copyFile for a working file: the target normal before and after.
bool copyWorkingFile(const Text& source, const Text& target);
// The whole file, read while other writers are shut out; empty on any failure.
ByteBuffer readFileBytes(const Text& path);
// Creates or empties the file (shared with nobody) and writes the buffers
// in order; true only when every write and the close succeeded. After a
// failure the failing call's error is the last error (ERROR_DISK_FULL for
// a full disk).
bool writeFileBytes(const Text& path, std::initializer_list<const ByteBuffer*> buffers);

template <typename... Buffers>
bool writeFileBytes(const Text& path, const Buffers&... buffers) {
  return writeFileBytes(path, std::initializer_list<const ByteBuffer*>{&buffers...});
}

// Whether a write failed for want of space (also a quota's).
bool meansDiskFull(unsigned long error);

// True for "C:" and "C:\" (the forms removeFolderTree refuses).
bool isDriveRoot(std::string_view path);
