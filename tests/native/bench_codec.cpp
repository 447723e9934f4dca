// bench_codec <input> [<output> <3|4>]: decodes the input through the
// codec and, when asked, encodes it (JPEG 3, PNG 4). Exit code 0 on success.
#include <cstdlib>

#include "image_codec.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) return 2;
  ImageObject object;
  if (!object.DecodeFromFile(argv[1], IMAGE_FORMAT_UNKNOWN)) return 1;
  if (argc == 4 && !object.EecodeToFile(argv[2], std::atoi(argv[3]))) return 1;
  return 0;
}
