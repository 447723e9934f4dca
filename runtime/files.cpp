#include "files.h"

#include <windows.h>

#include <string>
#include <vector>

#include "handles.h"
#include "wide_text.h"

namespace {

struct FolderEntry {
  std::wstring path;
  bool isFolder;
};

// The folder's entries in listing order, without names that begin with ".".
// In UTF-16 throughout: a name may have no GBK form.
std::vector<FolderEntry> listFolder(const std::wstring& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  if (!search) return entries;
  do {
    if (found.cFileName[0] == L'.') continue;
    entries.push_back({folder + L"\\" + found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search.get(), &found));
  return entries;
}

// Removes what can be removed. The first failure's error (a file another
// program holds) is kept as the last error for the caller's patience.
void clearFolder(const std::wstring& folder, DWORD& firstError) {
  for (const FolderEntry& entry : listFolder(folder)) {
    if (entry.isFolder) clearFolder(entry.path, firstError);
    const bool removed = entry.isFolder ? RemoveDirectoryW(entry.path.c_str()) : DeleteFileW(entry.path.c_str());
    if (!removed && firstError == ERROR_SUCCESS) firstError = GetLastError();
  }
}

}  // namespace

bool copyFile(const Text& source, const Text& target) {
  return CopyFileW(widen(source).c_str(), widen(target).c_str(), FALSE) != 0;
}

bool deleteFile(const Text& path) { return DeleteFileW(widen(path).c_str()) != 0; }

bool moveFile(const Text& source, const Text& target) {
  return MoveFileExW(widen(source).c_str(), widen(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool createFolder(const Text& path) { return CreateDirectoryW(widen(path).c_str(), nullptr) != 0; }

bool isDriveRoot(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  return path.size() == 2 || (path.size() == 3 && path[2] == '\\');
}

bool removeFolderTree(const Text& path) {
  const Text folder = path.substr(std::min(path.find_first_not_of(' '), path.size()));
  if (folder.empty() || isDriveRoot(folder)) return false;
  DWORD firstError = ERROR_SUCCESS;
  clearFolder(widen(folder), firstError);
  if (RemoveDirectoryW(widen(folder).c_str())) return true;
  if (firstError != ERROR_SUCCESS) SetLastError(firstError);
  return false;
}

bool fileExists(const Text& path) {
  WIN32_FIND_DATAW found;
  const DWORD error = GetLastError();  // kept: callers look at an earlier failure's
  FindHandle search(FindFirstFileW(widen(path).c_str(), &found));
  SetLastError(error);
  return static_cast<bool>(search);
}

// A file of our own, gone when it is closed. (Not GetTempFileName: Wine reports
// success from it in a folder that refuses writes.)
bool folderTakesNewFiles(const Text& folder) {
  const Text probe = joinText(folder, "\\~TarvexForge-", std::to_string(GetCurrentProcessId()), ".probe");
  const FileHandle file(CreateFileW(widen(probe).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr));
  return file || GetLastError() == ERROR_FILE_EXISTS;  // another probe of ours: the folder took it
}

bool setFileAttributes(const Text& path, std::uint32_t attributes) {
  constexpr std::uint32_t kPassedOn =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  return SetFileAttributesW(widen(path).c_str(), attributes & kPassedOn) != 0;
}

bool makeNormalFile(const Text& path) {
  return SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool copyWorkingFile(const Text& source, const Text& target) {
  makeNormalFile(target);
  const bool copied = copyFile(source, target);
  makeNormalFile(target);
  return copied;
}

ByteBuffer readFileBytes(const Text& path) {
  if (path.empty()) return {};
  FileHandle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
  ByteBuffer bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) return {};
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.truncate(done);
  return bytes;
}

bool writeFileBytes(const Text& path, std::initializer_list<const ByteBuffer*> buffers) {
  if (path.empty()) return false;
  // OPEN_ALWAYS and cutting to length 0 rather than CREATE_ALWAYS: the
  // latter refuses existing hidden or system files, such as the carried tools.
  FileHandle file(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !SetEndOfFile(file.get())) return false;
  for (const ByteBuffer* buffer : buffers) {
    std::size_t done = 0;
    while (done < buffer->size()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(buffer->size() - done, 1u << 30));
      DWORD written = 0;
      const BOOL wrote = WriteFile(file.get(), buffer->data() + done, chunk, &written, nullptr);
      if (!wrote || written == 0) {
        // A write that took nothing without an error: the disk had no room.
        const DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
        file.reset();
        SetLastError(error);
        return false;
      }
      done += written;
    }
  }
  return closeWrittenFile(file);
}

bool meansDiskFull(unsigned long error) { return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL; }
