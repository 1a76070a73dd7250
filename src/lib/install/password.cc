#include "lib/install/password.h"

namespace qz {

std::string ScramblePassword(const std::string& text, int mode) {
  if (mode == 0) return text;
  size_t first = text.find_first_not_of(' ');
  size_t n = first == std::string::npos ? 0 : text.find_last_not_of(' ') - first + 1;
  std::string out = text;
  for (size_t i = 0; i < n && i < out.size(); ++i)
    out[i] =
        static_cast<char>(static_cast<unsigned char>(out[i]) ^ static_cast<unsigned char>(i + 1));
  return out;
}

bool StorablePassword(const std::string& text) {
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  std::string s = ScramblePassword(text);
  for (unsigned char c : s)
    if (c <= ' ' || c == 127) return false;
  return true;
}

}  // namespace qz
