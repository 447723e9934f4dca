// archiver_bench <folder> <archive>: archives the folder and prints the
// wall time in milliseconds.
#include <windows.h>

#include <cstdio>

#include "folder_archiver.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  FolderArchiver archiver;
  const int result = archiver.compressFolder(argv[1], argv[2]);
  QueryPerformanceCounter(&end);
  std::printf("%.0f\n", 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  return result == 1 ? 0 : 1;
}
