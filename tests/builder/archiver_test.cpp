#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "block_deflate.h"
#include "files.h"
#include "folder_archiver.h"
#include "handles.h"
#include "test_folder.h"

namespace {

std::vector<int> progress;
void recordProgress(int percent) { progress.push_back(percent); }

std::string output(const std::string& name) { return std::string(TF_ARCHIVER_OUT) + "\\" + name; }

std::uint16_t le16(const ByteBuffer& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t le32(const ByteBuffer& b, std::size_t at) { return le16(b, at) | (std::uint32_t{le16(b, at + 2)} << 16); }

// The program's staging tree: zip\Data\Tarvex Forge.txt and
// zip\Data\LoadingScreen\SRBackground.dds.
std::string stagingTree(const TestFolder& scratch) {
  const std::string zip = scratch / "zip";
  createFolder(zip);
  createFolder(zip + "\\Data");
  createFolder(zip + "\\Data\\LoadingScreen");
  writeFileBytes(zip + "\\Data\\Tarvex Forge.txt", textToBuffer("载入背景\r\n说明\r\n"));
  ByteBuffer texture = zeroBuffer(300000);
  for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 9));
  writeFileBytes(zip + "\\Data\\LoadingScreen\\SRBackground.dds", texture);
  return zip;
}

struct Entry {
  std::size_t local;
  std::string name;
  std::uint16_t flags, method;
  std::uint32_t crc, compressed, size, attributes;
};

// The central directory's entries, checked against their local headers.
std::vector<Entry> entriesOf(const ByteBuffer& zip) {
  std::vector<Entry> entries;
  if (zip.size() < 22) return entries;
  const std::size_t end = zip.size() - 22;
  EXPECT_EQ(le32(zip, end), 0x06054B50u);
  std::size_t at = le32(zip, end + 16);
  for (int i = 0; i < le16(zip, end + 10); ++i) {
    EXPECT_EQ(le32(zip, at), 0x02014B50u);
    EXPECT_EQ(le16(zip, at + 4), 0x0B17);
    EXPECT_EQ(le16(zip, at + 6), 20);
    EXPECT_EQ(le16(zip, at + 30), 9);
    const std::uint16_t nameLength = le16(zip, at + 28);
    Entry e{le32(zip, at + 42), std::string(zip.view().substr(at + 46, nameLength)), le16(zip, at + 8),
            le16(zip, at + 10), le32(zip, at + 16), le32(zip, at + 20), le32(zip, at + 24), le32(zip, at + 38)};
    EXPECT_EQ(le16(zip, at + 46 + nameLength), 0x5455);  // "UT", 5 bytes, flags 7
    EXPECT_EQ(le16(zip, at + 48 + nameLength), 5);
    EXPECT_EQ(zip[at + 50 + nameLength], 7);
    // The local header carries the final values and no data descriptor bit.
    EXPECT_EQ(le32(zip, e.local), 0x04034B50u);
    EXPECT_EQ(le16(zip, e.local + 4), 20);
    EXPECT_EQ(le16(zip, e.local + 6), e.flags);
    EXPECT_EQ(le16(zip, e.local + 8), e.method);
    EXPECT_EQ(le32(zip, e.local + 14), e.crc);
    EXPECT_EQ(le32(zip, e.local + 18), e.compressed);
    EXPECT_EQ(le32(zip, e.local + 22), e.size);
    EXPECT_EQ(le16(zip, e.local + 28), 17);
    EXPECT_EQ(le16(zip, e.local + 30 + nameLength), 0x5455);
    EXPECT_EQ(le16(zip, e.local + 32 + nameLength), 13);
    EXPECT_EQ(zip[e.local + 34 + nameLength], 7);
    entries.push_back(e);
    at += 46 + nameLength + 9;
  }
  return entries;
}

}  // namespace

TEST(FolderArchiver, StagingTreeGivesTheFourEntriesWithTheirHeaderValues) {
  TestFolder scratch;
  const std::string zip = stagingTree(scratch);
  FolderArchiver archiver;
  archiver.archiveProgress = recordProgress;
  progress.clear();
  ASSERT_EQ(archiver.compressFolder(zip, output("staging.zip")), 1);
  EXPECT_EQ(progress, (std::vector<int>{25, 50, 75, 100}));
  const std::vector<Entry> entries = entriesOf(readFileBytes(output("staging.zip")));
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "Data/");
  EXPECT_EQ(entries[1].name, "Data/Tarvex Forge.txt");
  EXPECT_EQ(entries[2].name, "Data/LoadingScreen/");
  EXPECT_EQ(entries[3].name, "Data/LoadingScreen/SRBackground.dds");
  for (int folder : {0, 2}) {
    EXPECT_EQ(entries[folder].method, 0);
    EXPECT_EQ(entries[folder].flags, 0);
    EXPECT_EQ(entries[folder].size, 0u);
    EXPECT_EQ(entries[folder].attributes, (0x41C0u << 16) | 0x10);
  }
  for (int file : {1, 3}) {
    EXPECT_EQ(entries[file].method, 8);
    EXPECT_EQ(entries[file].flags, 2);
    EXPECT_EQ(entries[file].attributes >> 16, 0x8180u);
  }
  EXPECT_EQ(entries[3].size, 300000u);
  EXPECT_EQ(entries[0].local, 0u);

  // Times (the test session runs with TZ=UTC): the note's last-write time,
  // as DOS time and date and as Unix seconds in the UT field.
  const ByteBuffer archive = readFileBytes(output("staging.zip"));
  WIN32_FILE_ATTRIBUTE_DATA info;
  ASSERT_TRUE(GetFileAttributesExA((zip + "\\Data\\Tarvex Forge.txt").c_str(), GetFileExInfoStandard, &info));
  FILETIME local;
  FileTimeToLocalFileTime(&info.ftLastWriteTime, &local);
  WORD dosDate = 0, dosTime = 0;
  FileTimeToDosDateTime(&local, &dosDate, &dosTime);
  const std::size_t note = entries[1].local;
  EXPECT_EQ(le16(archive, note + 10), dosTime);
  EXPECT_EQ(le16(archive, note + 12), dosDate);
  const std::uint64_t ticks = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  const std::uint32_t unixSeconds = static_cast<std::uint32_t>(ticks / 10000000 - 11644473600ull);
  EXPECT_EQ(le32(archive, note + 30 + entries[1].name.size() + 5), unixSeconds);
}

TEST(FolderArchiver, EmptyFolderGivesOnlyTheEndRecordAndNoProgress) {
  TestFolder scratch;
  createFolder(scratch / "empty");
  FolderArchiver archiver;
  archiver.archiveProgress = recordProgress;
  progress.clear();
  EXPECT_EQ(archiver.compressFolder(scratch / "empty", output("empty.zip")), 1);
  EXPECT_EQ(readFileBytes(output("empty.zip")).size(), 22u);
  EXPECT_TRUE(progress.empty());
}

TEST(FolderArchiver, ThreeEntriesStoredSuffixesDotNamesAndHiddenFiles) {
  TestFolder scratch;
  const std::string source = scratch / "src";
  createFolder(source);
  writeFileBytes(source + "\\inner.ZIP", textToBuffer("already packed"));
  writeFileBytes(source + "\\.hidden", textToBuffer("dot-named"));
  setFileAttributes(source + "\\.hidden", FILE_ATTRIBUTE_HIDDEN);
  createFolder(source + "\\empty");
  FolderArchiver archiver;
  archiver.archiveProgress = recordProgress;
  progress.clear();
  ASSERT_EQ(archiver.compressFolder(source, output("three.zip")), 1);
  EXPECT_EQ(progress, (std::vector<int>{33, 66, 100}));
  const std::vector<Entry> entries = entriesOf(readFileBytes(output("three.zip")));
  ASSERT_EQ(entries.size(), 3u);
  for (const Entry& e : entries) {
    if (e.name == "inner.ZIP") {
      EXPECT_EQ(e.method, 0);
      EXPECT_EQ(e.compressed, e.size);
    }
    if (e.name == ".hidden") {
      EXPECT_EQ(e.attributes & 0x02, 0x02u);
    }
  }
  EXPECT_EQ(entries[2].name, "empty/");
}

TEST(FolderArchiver, ReadOnlyFilesGetMode8100) {
  TestFolder scratch;
  const std::string source = scratch / "src";
  createFolder(source);
  writeFileBytes(source + "\\locked.txt", textToBuffer("read only"));
  setFileAttributes(source + "\\locked.txt", FILE_ATTRIBUTE_READONLY);
  FolderArchiver archiver;
  ASSERT_EQ(archiver.compressFolder(source, output("readonly.zip")), 1);
  const std::vector<Entry> entries = entriesOf(readFileBytes(output("readonly.zip")));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].attributes >> 16, 0x8100u);
  EXPECT_EQ(entries[0].attributes & 0x01, 0x01u);
  SetFileAttributesA((source + "\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderArchiver, FailuresAndReplacement) {
  TestFolder scratch;
  FolderArchiver archiver;
  EXPECT_EQ(archiver.compressFolder("", output("x.zip")), -1);
  EXPECT_EQ(archiver.compressFolder(scratch / "missing", output("x.zip")), -1);
  const std::string zip = stagingTree(scratch);
  EXPECT_EQ(archiver.compressFolder(zip, scratch / "no folder\\out.zip"), 0);
  EXPECT_FALSE(fileExists(scratch / "no folder"));

  // An existing archive is replaced, not extended.
  writeFileBytes(output("replaced.zip"), zeroBuffer(1000000));
  ASSERT_EQ(archiver.compressFolder(zip, output("replaced.zip")), 1);
  EXPECT_LT(readFileBytes(output("replaced.zip")).size(), 1000000u);

  // A file that cannot be opened ends the walk; the archive is finished.
  FileHandle holder(CreateFileA((zip + "\\Data\\LoadingScreen\\SRBackground.dds").c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(archiver.compressFolder(zip, output("partial.zip")), 0);
  const std::vector<Entry> entries = entriesOf(readFileBytes(output("partial.zip")));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].name, "Data/LoadingScreen/");
}

TEST(FolderArchiver, ProgressPercentAndStoredSuffixes) {
  EXPECT_EQ(progressPercent(1, 3), 33);
  EXPECT_EQ(progressPercent(2, 3), 66);
  EXPECT_EQ(progressPercent(3, 3), 100);
  EXPECT_EQ(progressPercent(0, 0), 0);
  for (const char* name : {"a.zip", "b.ZIP", "c.Z", "d.tgz", "e.GZ", "f.arj", "g.lzh", "h.zoo", "i.arc"})
    EXPECT_TRUE(isStoredSuffix(name)) << name;
  for (const char* name : {"a.dds", "a.zipx", "zip", "a.z.txt", "a.txt"}) EXPECT_FALSE(isStoredSuffix(name)) << name;
}

namespace {

// The bytes deflateFile makes of `input` with `threads` threads.
std::vector<std::uint8_t> deflatedWith(const std::vector<std::uint8_t>& input, unsigned threads,
                                       DeflatedFile& result) {
  std::size_t at = 0;
  std::vector<std::uint8_t> output;
  const ReadBytes read = [&](std::uint8_t* buffer, std::size_t capacity) -> long long {
    const std::size_t count = std::min(capacity, input.size() - at);  // short reads, as ReadFile may give
    std::copy_n(input.data() + at, std::min<std::size_t>(count, 50000), buffer);
    at += std::min<std::size_t>(count, 50000);
    return static_cast<long long>(std::min<std::size_t>(count, 50000));
  };
  const WriteBytes write = [&](const std::uint8_t* bytes, std::size_t count) {
    output.insert(output.end(), bytes, bytes + count);
    return true;
  };
  EXPECT_TRUE(deflateFile(read, write, threads, nullptr, result));
  return output;
}

std::vector<std::uint8_t> inflated(const std::vector<std::uint8_t>& deflated, std::size_t size) {
  std::vector<std::uint8_t> out(size + 1);
  z_stream stream{};
  inflateInit2(&stream, -15);
  stream.next_in = const_cast<Bytef*>(deflated.data());
  stream.avail_in = static_cast<uInt>(deflated.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  inflateEnd(&stream);
  EXPECT_EQ(result, Z_STREAM_END);
  return out;
}

}  // namespace

// Large files are deflated in blocks on several threads and joined into one
// stream: at the sizes around a block, and with a long match across each
// block boundary (the next block is primed with the 32 KiB before it), the
// stream inflates to the file, and its bytes do not depend on the threads.
TEST(BlockDeflate, BoundariesLongMatchesAndThreadCounts) {
  std::vector<std::uint8_t> pattern(20000);  // repeats within deflate's 32 KiB window
  std::uint32_t seed = 7;
  for (std::uint8_t& b : pattern) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
  std::vector<std::uint8_t> repeated;
  while (repeated.size() < 3 * kDeflateBlockSize + 5000) repeated.insert(repeated.end(), pattern.begin(), pattern.end());
  for (const std::size_t size : {std::size_t{0}, kDeflateBlockSize, kDeflateBlockSize + 1, repeated.size()}) {
    SCOPED_TRACE(size);
    const std::vector<std::uint8_t> input(repeated.begin(), repeated.begin() + static_cast<std::ptrdiff_t>(size));
    DeflatedFile one, two, three;
    const std::vector<std::uint8_t> byOne = deflatedWith(input, 1, one);
    EXPECT_EQ(deflatedWith(input, 2, two), byOne);
    EXPECT_EQ(deflatedWith(input, 3, three), byOne);
    EXPECT_EQ(inflated(byOne, size), input);
    EXPECT_EQ(one.size, size);
    EXPECT_EQ(one.compressedSize, byOne.size());
    EXPECT_EQ(one.crc, static_cast<std::uint32_t>(crc32(0, input.data(), static_cast<uInt>(input.size()))));
  }
  // The repeats are found across the boundaries: a fresh dictionary in each
  // block would cost 20000 bytes a block.
  DeflatedFile whole;
  EXPECT_LT(deflatedWith(repeated, 2, whole).size(), 2 * pattern.size());
}
