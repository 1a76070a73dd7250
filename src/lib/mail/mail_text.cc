#include "lib/mail/mail_text.h"

#include <cctype>
#include <cstdint>

#include "lib/settings/globals.h"

namespace qz {
namespace {

std::string Base64(const std::string& in) {
  static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    uint32_t v = (uint8_t(in[i]) << 16) | (uint8_t(in[i + 1]) << 8) | uint8_t(in[i + 2]);
    out += k[v >> 18];
    out += k[(v >> 12) & 63];
    out += k[(v >> 6) & 63];
    out += k[v & 63];
  }
  if (i + 1 == in.size()) {
    uint32_t v = uint8_t(in[i]) << 16;
    out += k[v >> 18];
    out += k[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == in.size()) {
    uint32_t v = (uint8_t(in[i]) << 16) | (uint8_t(in[i + 1]) << 8);
    out += k[v >> 18];
    out += k[(v >> 12) & 63];
    out += k[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

// Decodes one UTF-8 sequence at `i`; invalid bytes come back as themselves.
uint32_t NextCodePoint(const std::string& s, size_t* i) {
  uint8_t c = s[*i];
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (extra == 0 || *i + extra >= s.size()) {
    ++*i;
    return c;
  }
  uint32_t cp = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    uint8_t n = s[*i + k];
    if ((n & 0xC0) != 0x80) {
      ++*i;
      return c;
    }
    cp = (cp << 6) | (n & 0x3F);
  }
  *i += extra + 1;
  return cp;
}

}  // namespace

bool VALID_EMAIL(const std::string& text) {
  std::string t = Trim(text);
  return t.find('@') != std::string::npos && t.find('.') != std::string::npos && t.size() > 4 &&
         t.find(' ') == std::string::npos;
}

std::string AngleAddress(const std::string& address) {
  std::string a = Trim(address);
  if (!a.empty() && a.front() == '<' && a.back() == '>') return a;
  return "<" + a + ">";
}

std::string BareAddress(const std::string& text) {
  std::string t = Trim(text);
  size_t open = t.rfind('<');
  size_t close = t.rfind('>');
  if (open != std::string::npos && close != std::string::npos && close > open)
    return Trim(t.substr(open + 1, close - open - 1));
  return t;
}

std::string EncodeHeaderText(const std::string& utf8) {
  bool plain = true;
  for (unsigned char c : utf8) plain &= c >= 32 && c < 127;
  if (plain) return utf8;
  return "=?UTF-8?B?" + Base64(utf8) + "?=";
}

std::string MailboxHeader(const std::string& name, const std::string& address) {
  std::string n = Trim(name);
  if (n.empty()) return AngleAddress(address);
  bool plain = true;
  for (unsigned char c : n) plain &= c >= 32 && c < 127 && c != '"' && c != '\\';
  return (plain ? "\"" + n + "\"" : EncodeHeaderText(n)) + " " + AngleAddress(address);
}

std::vector<std::string> SplitAddresses(const std::string& list) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : list + ",") {
    if (c == ',' || c == ';' || c == ' ' || c == '\t') {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  return out;
}

bool IsUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    uint8_t c = bytes[i];
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) return false;
    for (int k = 1; k <= extra; ++k)
      if (i + k >= bytes.size() || (uint8_t(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string HtmlEscape(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t cp = NextCodePoint(utf8, &i);
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        if (cp < 128) {
          out += static_cast<char>(cp);
        } else {
          out += "&#" + std::to_string(cp) + ";";
        }
    }
  }
  return out;
}

std::string PlainTextAsHtml(const std::string& utf8) {
  std::string text;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      // CR LF and a lone CR (the error line's end) are both one line break.
      text += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      text += utf8[i];
    }
  }
  return "<html><body><pre>" + HtmlEscape(text) + "</pre></body></html>";
}

std::string AttachmentDisposition(const std::string& name_utf8) {
  std::string encoded;
  bool ascii = true;
  for (unsigned char c : name_utf8) {
    if (c >= 0x80 || c < 0x20 || c == '"' || c == '\\') ascii = false;
    if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
      encoded += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  if (ascii) return "attachment; filename=\"" + name_utf8 + "\"";
  return "attachment; filename*=UTF-8''" + encoded;
}

}  // namespace qz
