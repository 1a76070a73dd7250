#include "xbase/dbf_header.h"

#include <cstdio>

#include <cctype>
#include <cstring>
#include <set>

namespace xb {
namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

bool KnownType(char t) { return std::strchr("CNFDLMIBYT@GPQVW0", t) != nullptr && t != 0; }

// Expected byte width of the fixed-size types; 0 = chosen by the structure.
int FixedWidth(char t, int len) {
  switch (t) {
    case 'D': return 8;
    case 'L': return 1;
    case 'B': return 8;
    case 'Y': return 8;
    case 'T': case '@': return 8;
    case 'I': return (len == 8) ? 8 : 4;
    default: return 0;
  }
}

}  // namespace

bool IsMemoType(char t) { return t == 'M' || t == 'G' || t == 'P' || t == 'W'; }

bool DbfHeader::HasMemo() const {
  for (const auto& f : fields)
    if (IsMemoType(f.type)) return true;
  return false;
}

Status ParseHeaderPrefix(const uint8_t* p, uint64_t file_size, const std::string& name,
                         DbfHeader* h) {
  h->version = p[0];
  switch (h->version) {
    case 0x02: case 0x03: case 0x04: case 0x05: case 0x30: case 0x31: case 0x32:
    case 0x43: case 0x63: case 0x83: case 0x8B: case 0x8E: case 0xCB: case 0xE5: case 0xF5:
    case 0xFB:
      break;
    default:
    {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", h->version);
      return Status::Corrupt(name + ": not a DBF table (version byte " + hex + ")");
    }
  }
  h->update_year = 1900 + p[1];
  h->update_month = p[2];
  h->update_day = p[3];
  h->record_count = Le32(p + 4);
  h->header_len = Le16(p + 8);
  h->record_len = Le16(p + 10);
  h->flags = p[28];
  h->language_driver = p[29];
  if (h->header_len < 32 + 32 + 1)
    return Status::Corrupt(name + ": header length " + std::to_string(h->header_len) +
                           " is too small for one field");
  if (h->header_len > file_size)
    return Status::Corrupt(name + ": header length " + std::to_string(h->header_len) +
                           " passes the end of the file (" + std::to_string(file_size) + " bytes)");
  if (h->record_len < 2)
    return Status::Corrupt(name + ": record length " + std::to_string(h->record_len) +
                           " is too small");
  uint64_t need = h->header_len + static_cast<uint64_t>(h->record_count) * h->record_len;
  if (need > file_size)
    return Status::Corrupt(name + ": header says " + std::to_string(h->record_count) +
                           " records of " + std::to_string(h->record_len) +
                           " bytes, but the file has room for only " +
                           std::to_string((file_size - h->header_len) / h->record_len));
  return Status::OK();
}

Status ParseFieldDescriptors(const uint8_t* desc, size_t n, const std::string& name,
                             DbfHeader* h) {
  h->fields.clear();
  uint32_t offset = 1;
  size_t pos = 0;
  std::set<std::string> seen;
  while (pos < n && desc[pos] != 0x0D) {
    if (pos + 32 > n)
      return Status::Corrupt(name + ": field descriptors run past the header (no 0x0D terminator)");
    const uint8_t* d = desc + pos;
    FieldDef f;
    size_t nl = 0;
    while (nl < 11 && d[nl] != 0) ++nl;
    f.name.assign(reinterpret_cast<const char*>(d), nl);
    for (char& c : f.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    f.type = static_cast<char>(std::toupper(d[11]));
    f.len = d[16];
    f.dec = d[17];
    f.flags = d[18];
    if (f.type == 'C' && f.dec > 0) {
      // Clipper's long character fields keep the high byte of the width in `dec`.
      return Status::NotSupported(name + ": character field " + f.name + " wider than 255");
    }
    if (f.name.empty())
      return Status::Corrupt(name + ": field " + std::to_string(h->fields.size() + 1) +
                             " has no name");
    if (!KnownType(f.type))
      return Status::Corrupt(name + ": field " + f.name + " has unknown type '" +
                             std::string(1, f.type) + "'");
    if (f.len == 0)
      return Status::Corrupt(name + ": field " + f.name + " has width 0");
    int fw = FixedWidth(f.type, f.len);
    if (fw && f.len != fw)
      return Status::Corrupt(name + ": field " + f.name + " of type " + std::string(1, f.type) +
                             " has width " + std::to_string(f.len) + ", expected " +
                             std::to_string(fw));
    if (f.type == 'M' && f.len != 10 && f.len != 4)
      return Status::Corrupt(name + ": memo field " + f.name + " has width " +
                             std::to_string(f.len));
    if (!seen.insert(f.name).second)
      return Status::Corrupt(name + ": field " + f.name + " appears twice");
    f.offset = offset;
    offset += f.len;
    h->fields.push_back(f);
    pos += 32;
  }
  if (pos >= n) return Status::Corrupt(name + ": header has no 0x0D terminator");
  if (h->fields.empty()) return Status::Corrupt(name + ": table has no fields");
  if (offset != h->record_len)
    return Status::Corrupt(name + ": fields add up to " + std::to_string(offset) +
                           " bytes but the header says records are " +
                           std::to_string(h->record_len));
  return Status::OK();
}

Result<uint16_t> LayoutFields(FieldList* fields, const std::string& name) {
  if (fields->empty()) return Status::InvalidArgument(name + ": a table needs at least one field");
  if (fields->size() > 255) return Status::InvalidArgument(name + ": more than 255 fields");
  uint32_t offset = 1;
  std::set<std::string> seen;
  for (auto& f : *fields) {
    for (char& c : f.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
    if (f.type == '@') f.type = 'T';
    std::string what = name + ": field " + f.name;
    if (f.name.empty() || f.name.size() > 10)
      return Status::InvalidArgument(what + ": names have 1 to 10 characters");
    for (char c : f.name)
      if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
        return Status::InvalidArgument(what + ": names use letters, digits and _");
    if (!seen.insert(f.name).second) return Status::InvalidArgument(what + " appears twice");
    switch (f.type) {
      case 'C':
        if (f.len < 1 || f.len > 254) return Status::InvalidArgument(what + ": width must be 1..254");
        f.dec = 0;
        break;
      case 'N': case 'F':
        if (f.len < 1 || f.len > 20) return Status::InvalidArgument(what + ": width must be 1..20");
        if (f.dec > 0 && f.dec + 2 > f.len)
          return Status::InvalidArgument(what + ": " + std::to_string(f.dec) +
                                         " decimals do not fit width " + std::to_string(f.len));
        break;
      case 'D': f.len = 8; f.dec = 0; break;
      case 'L': f.len = 1; f.dec = 0; break;
      case 'M': f.len = 10; f.dec = 0; break;
      case 'I':
        if (f.len != 8) f.len = 4;
        f.flags |= 0x04;
        break;
      case 'B': f.len = 8; f.flags |= 0x04; break;
      case 'Y': f.len = 8; f.dec = 4; f.flags |= 0x04; break;
      case 'T': f.len = 8; f.dec = 0; f.flags |= 0x04; break;
      default:
        return Status::InvalidArgument(what + ": unsupported type '" + std::string(1, f.type) + "'");
    }
    f.offset = offset;
    offset += f.len;
  }
  if (offset > 65535) return Status::InvalidArgument(name + ": record longer than 65535 bytes");
  return static_cast<uint16_t>(offset);
}

void SerializeHeaderPrefix(const DbfHeader& h, uint8_t out[32]) {
  std::memset(out, 0, 32);
  out[0] = h.version;
  out[1] = static_cast<uint8_t>(h.update_year - 1900);
  out[2] = static_cast<uint8_t>(h.update_month);
  out[3] = static_cast<uint8_t>(h.update_day);
  PutLe32(out + 4, h.record_count);
  PutLe16(out + 8, h.header_len);
  PutLe16(out + 10, h.record_len);
  out[28] = h.flags;
  out[29] = h.language_driver;
}

std::string SerializeHeader(const DbfHeader& h) {
  std::string out(h.header_len, '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  SerializeHeaderPrefix(h, p);
  size_t pos = 32;
  for (const auto& f : h.fields) {
    uint8_t* d = p + pos;
    std::memcpy(d, f.name.data(), f.name.size());
    d[11] = static_cast<uint8_t>(f.type);
    d[16] = f.len;
    d[17] = f.dec;
    d[18] = f.flags;
    pos += 32;
  }
  p[pos] = 0x0D;
  return out;
}

}  // namespace xb
