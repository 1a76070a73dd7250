#include "lib/install/bitmaps.h"

#include <algorithm>
#include <cmath>

namespace qz {
namespace {

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

uint8_t Mix(uint8_t a, uint8_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}
BmpColour Blend(BmpColour a, BmpColour b, double t) {
  return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

constexpr BmpColour kNavy{16, 42, 92}, kSea{32, 112, 168}, kSand{236, 214, 160},
    kWhite{255, 255, 255}, kGold{214, 160, 40}, kSky{150, 200, 235}, kWall{240, 236, 226},
    kWindow{60, 90, 130}, kGreen{46, 125, 80};

// The suite's mark: a ring with a tail (a "Q") centred at (cx, cy).
bool InMark(double x, double y, double cx, double cy, double r) {
  double d = std::hypot(x - cx, y - cy);
  if (d > r * 0.72 && d < r) return true;
  // The tail: a short thick stroke down and to the right.
  double u = (x - cx) - (y - cy), v = (x - cx) + (y - cy);
  return std::abs(u) < r * 0.16 && v > r * 0.9 && v < r * 1.7;
}

// Splash: sea-blue gradient, sand band, the mark in white and a gold rule.
std::string Logo() {
  const int w = 400, h = 240;
  return EncodeBmp(w, h, [&](int x, int y) {
    if (InMark(x, y, 110, 105, 60)) return kWhite;
    if (y >= 200 && y < 204 && x > 190 && x < 370) return kGold;
    if (y > 215) return Blend(kSand, kGold, (y - 215) / 25.0);
    return Blend(kNavy, kSea, (x + y) / static_cast<double>(w + h));
  });
}

// Login picture: a hotel front against the sky, with lit windows.
std::string LoginArt() {
  const int w = 160, h = 200;
  return EncodeBmp(w, h, [&](int x, int y) {
    bool in_building = x >= 30 && x < 130 && y >= 40 && y < 180;
    if (y >= 180) return Blend(kGreen, kNavy, (y - 180) / 20.0);
    if (!in_building) return Blend(kSky, kWhite, y / 180.0);
    int cx = (x - 30) % 20, cy = (y - 40) % 20;
    bool window = cx >= 6 && cx < 14 && cy >= 6 && cy < 14 && y < 160;
    bool door = x >= 70 && x < 90 && y >= 155;
    if (door) return kNavy;
    if (window) return ((x / 20 + y / 20) % 3 == 0) ? kGold : kWindow;
    return kWall;
  });
}

// Engine badge of the login dialog: three stacked disks (a database).
std::string EngineBadge() {
  const int w = 120, h = 60;
  return EncodeBmp(w, h, [&](int x, int y) {
    for (int i = 0; i < 3; ++i) {
      double cy = 14 + i * 14;
      double dx = (x - 30) / 22.0, dy = (y - cy) / 7.0;
      if (dx * dx + dy * dy <= 1.0) return i == 0 ? kGold : kSea;
    }
    if (y > 24 && y < 32 && x > 60 && x < 110) return kNavy;
    return kWhite;
  });
}

// Report logo: the mark beside a band, on white (reports print on paper).
std::string ReportLogo() {
  const int w = 200, h = 80;
  return EncodeBmp(w, h, [&](int x, int y) {
    if (InMark(x, y, 38, 36, 26)) return kNavy;
    if (x > 80 && x < 190 && y > 30 && y < 42) return kSea;
    if (x > 80 && x < 160 && y > 48 && y < 54) return kGold;
    return kWhite;
  });
}

// The toolbar's cash button: a till whose drawer stands out and shows a
// green coin while a box is open here, shut and red while none is. Set `n`:
// 1 normal, 2 selected (lighter), 3 disabled (grey).
std::string CashBoxIcon(bool open, int n) {
  const int size = 24;
  const BmpColour body = n == 3 ? BmpColour{150, 150, 150} : kNavy;
  BmpColour mark = open ? BmpColour{30, 150, 60} : BmpColour{190, 40, 40};
  if (n == 2) mark = BmpColour{static_cast<uint8_t>((mark.r + 255) / 2),
                               static_cast<uint8_t>((mark.g + 255) / 2),
                               static_cast<uint8_t>((mark.b + 255) / 2)};
  if (n == 3) mark = BmpColour{200, 200, 200};
  return EncodeBmp(size, size, [&](int x, int y) {
    const bool till = x >= 3 && x <= 20 && y >= 5 && y <= 14;
    const bool drawer = open ? (x >= 1 && x <= 22 && y >= 15 && y <= 20)
                             : (x >= 3 && x <= 20 && y >= 15 && y <= 18);
    const double dx = x - 11.5, dy = y - (open ? 17.5 : 9.5);
    if (dx * dx + dy * dy <= (open ? 5.0 : 7.0)) return mark;
    if (till || drawer) return (y == 15 || x == 3 || x == 20) ? kWhite : body;
    return kWhite;
  });
}

}  // namespace

std::string EncodeBmp(int width, int height, const std::function<BmpColour(int x, int y)>& pixel) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t image = row * static_cast<uint32_t>(height);
  std::string s;
  s.reserve(54 + image);
  s += "BM";
  Put32(&s, 54 + image);  // file size
  Put32(&s, 0);           // reserved
  Put32(&s, 54);          // offset of the pixels
  Put32(&s, 40);          // BITMAPINFOHEADER size
  Put32(&s, static_cast<uint32_t>(width));
  Put32(&s, static_cast<uint32_t>(height));  // positive: bottom-up rows
  Put16(&s, 1);                              // planes
  Put16(&s, 24);                             // bits per pixel
  Put32(&s, 0);                              // BI_RGB, no compression
  Put32(&s, image);
  Put32(&s, 2835);  // 72 dpi, in pixels per metre
  Put32(&s, 2835);
  Put32(&s, 0);
  Put32(&s, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      BmpColour c = pixel(x, y);
      s.push_back(static_cast<char>(c.b));
      s.push_back(static_cast<char>(c.g));
      s.push_back(static_cast<char>(c.r));
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < row; ++pad) s.push_back('\0');
  }
  return s;
}

std::vector<InstallFile> InstallationBitmaps() {
  return {{"BMP/LOGO32.BMP", Logo()},
          {"BMP/ART1.BMP", LoginArt()},
          {"BMP/ADS2.BMP", EngineBadge()},
          {"BMP/KORVALIS.BMP", ReportLogo()},
          {"BMP/C_OPEN1.BMP", CashBoxIcon(true, 1)},
          {"BMP/C_OPEN2.BMP", CashBoxIcon(true, 2)},
          {"BMP/C_OPEN3.BMP", CashBoxIcon(true, 3)},
          {"BMP/C_CLOSE1.BMP", CashBoxIcon(false, 1)},
          {"BMP/C_CLOSE2.BMP", CashBoxIcon(false, 2)},
          {"BMP/C_CLOSE3.BMP", CashBoxIcon(false, 3)}};
}

}  // namespace qz
