#include "file_dialog.h"

std::string dialogFilter(const Text& filter) {
  std::string pairs = filter.substr(0, filter.find_last_not_of(" \t\r\n") + 1);
  if (filter.find_last_not_of(" \t\r\n") == std::string::npos) pairs.clear();
  if (pairs.size() < 2 || pairs.compare(pairs.size() - 2, 2, "||") != 0) pairs += "||";
  // Walk characters, so that a second byte of 0x7C is not taken for "|".
  for (std::size_t at = 0; at < pairs.size(); ++at) {
    if (isLeadByte(static_cast<unsigned char>(pairs[at]))) ++at;
    else if (pairs[at] == '|') pairs[at] = '\0';
  }
  return pairs;
}
