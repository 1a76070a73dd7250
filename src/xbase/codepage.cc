#include "xbase/codepage.h"

namespace xb {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined positions,
// which map to the C1 control of the same number (as Windows does).
const uint16_t k1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char From1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    uint16_t m = k1252High[i] ? k1252High[i] : static_cast<uint16_t>(0x80 + i);
    if (m == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

CodePage CodePageFromLanguageDriver(uint8_t ldid) {
  (void)ldid;  // every driver byte we meet in the suite's files is a Western one
  return CodePage::kWindows1252;
}

uint8_t LanguageDriverFor(CodePage cp) { return cp == CodePage::kWindows1252 ? 0x03 : 0x00; }

std::string ToUtf8(const std::string& bytes, CodePage cp) {
  if (cp == CodePage::kUtf8Passthrough) return bytes;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0xA0) {
      uint16_t m = k1252High[c - 0x80];
      AppendUtf8(&out, m ? m : c);
    } else {
      AppendUtf8(&out, c);
    }
  }
  return out;
}

std::string FromUtf8(const std::string& s, CodePage cp) {
  if (cp == CodePage::kUtf8Passthrough) return s;
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t code;
    int extra;
    if (c < 0x80) { code = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { code = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { code = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { code = c & 0x07; extra = 3; }
    else { out.push_back('?'); ++i; continue; }
    bool bad = false;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) { bad = true; break; }
      code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    if (bad) { out.push_back('?'); ++i; continue; }
    out.push_back(From1252(code));
    i += 1 + extra;
  }
  return out;
}

}  // namespace xb
