#include "lib/settings/ads_def.h"

#include <cstdlib>

#include "xbase/env.h"

namespace qz {

std::vector<std::string> SplitAdsDefLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : bytes) {
    if (c == '\n') continue;
    if (c == '\r') {
      lines.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

xb::Result<std::vector<std::string>> ReadAdsDef(const std::string& path) {
  xb::Env* env = xb::Env::Default();
  auto f = env->Open(path, xb::OpenMode::kReadOnly);
  if (!f.ok()) return f.status();
  uint64_t size = 0;
  XB_RETURN_IF_ERROR((*f)->Size(&size));
  if (size > (1 << 20)) return xb::Status::Corrupt(path + ": too large for a parameter file");
  std::string bytes(size, '\0');
  size_t got = 0;
  XB_RETURN_IF_ERROR((*f)->ReadAt(0, bytes.data(), size, &got));
  bytes.resize(got);
  return SplitAdsDefLines(bytes);
}

void ApplyAdsDef(Globals& g, const std::vector<std::string>& lines) {
  g.XADSPARAMS.assign(std::max<size_t>(26, lines.size()), "");
  for (size_t i = 0; i < lines.size(); ++i) g.XADSPARAMS[i] = lines[i];
  auto line = [&](int n) -> std::string {
    return n <= static_cast<int>(lines.size()) ? Trim(lines[n - 1]) : "";
  };
  if (!line(21).empty()) g.XADS_RIGHTS_CHECKING = !StartsWith(line(21), ".F.");
  if (!line(22).empty()) g.XADSCACHERECORDS = std::atoi(line(22).c_str());
  if (!line(23).empty()) g.XADS_COMPATIBLE_LOCKING = StartsWith(line(23), ".F.");
  if (!line(26).empty()) g.XADS_TS = line(26);
  if (!line(27).empty()) g.XADS_DIR = line(27);
}

}  // namespace qz
