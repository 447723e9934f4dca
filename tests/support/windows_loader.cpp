#include "windows_loader.h"

#include <windows.h>

#include <cstring>
#include <sstream>

#include "files.h"

namespace {

template <typename T>
bool readAt(const std::vector<char>& file, std::size_t at, T& value) {
  if (at > file.size() || file.size() - at < sizeof value) return false;
  std::memcpy(&value, file.data() + at, sizeof value);
  return true;
}

// The file offset of a relative virtual address, through the section table.
std::size_t offsetOf(const std::vector<char>& file, std::size_t sections, int count, DWORD rva) {
  for (int i = 0; i < count; ++i) {
    IMAGE_SECTION_HEADER section;
    if (!readAt(file, sections + i * sizeof section, section)) return 0;
    if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
      return rva - section.VirtualAddress + section.PointerToRawData;
  }
  return 0;
}

}  // namespace

std::vector<std::string> importedDlls(const std::string& executable) {
  const ByteBuffer bytes = readFileBytes(executable);
  const std::vector<char> file(bytes.view().begin(), bytes.view().end());
  LONG peAt = 0;
  IMAGE_FILE_HEADER header;
  WORD magic = 0;
  if (!readAt(file, offsetof(IMAGE_DOS_HEADER, e_lfanew), peAt) ||
      !readAt(file, peAt + 4, header) || !readAt(file, peAt + 24, magic))
    return {};
  const std::size_t optional = peAt + 24;
  // The import directory's entry: the second data directory.
  const std::size_t directories = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? 112 : 96);
  IMAGE_DATA_DIRECTORY imports;
  if (!readAt(file, directories + sizeof imports * IMAGE_DIRECTORY_ENTRY_IMPORT, imports)) return {};
  const std::size_t sections = optional + header.SizeOfOptionalHeader;
  std::size_t at = offsetOf(file, sections, header.NumberOfSections, imports.VirtualAddress);
  std::vector<std::string> names;
  IMAGE_IMPORT_DESCRIPTOR entry;
  for (; at && readAt(file, at, entry) && entry.Name; at += sizeof entry) {
    const std::size_t name = offsetOf(file, sections, header.NumberOfSections, entry.Name);
    if (!name) break;
    names.emplace_back(file.data() + name, strnlen(file.data() + name, file.size() - name));
  }
  return names;
}

std::vector<std::string> dllsMissingOnWindows(const std::string& executable) {
  std::vector<std::string> missing;
  for (const std::string& dll : importedDlls(executable)) {
    std::istringstream known(TF_SYSTEM_DLLS);
    bool found = false;
    for (std::string name; std::getline(known, name, ',');)
      found = found || lstrcmpiA((name + ".dll").c_str(), dll.c_str()) == 0;
    if (!found) missing.push_back(dll);
  }
  return missing;
}
