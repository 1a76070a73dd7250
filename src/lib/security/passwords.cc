#include "lib/security/passwords.h"

#include "lib/settings/globals.h"

namespace qz {

std::string ENCRYPT_STRING(const std::string& text, int mode) {
  if (mode == 0) return text;
  size_t first = text.find_first_not_of(' ');
  size_t n = first == std::string::npos ? 0 : text.find_last_not_of(' ') - first + 1;
  std::string out = text;
  for (size_t i = 0; i < n && i < out.size(); ++i)
    out[i] =
        static_cast<char>(static_cast<unsigned char>(out[i]) ^ static_cast<unsigned char>(i + 1));
  return out;
}

std::string DECRYPT_STRING(const std::string& text, int mode) {
  return ENCRYPT_STRING(text, mode);
}

bool PasswordMatches(const std::string& typed, const std::string& stored, int mode) {
  const std::string t = PadRight(typed, kPasswordWidth);
  const std::string s = PadRight(stored, kPasswordWidth);
  if (mode == 0) return t == s;
  if (PadRight(ENCRYPT_STRING(RTrim(typed), mode), kPasswordWidth) == s) return true;
  return PadRight(DECRYPT_STRING(s, mode), kPasswordWidth) == t;
}

bool StorablePassword(const std::string& text) {
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  std::string s = ENCRYPT_STRING(text);
  for (unsigned char c : s)
    if (c <= ' ' || c == 127) return false;
  return true;
}

}  // namespace qz
