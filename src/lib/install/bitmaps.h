// The bitmaps an installation ships in its BMP folder, drawn here so the
// installation carries only pictures of our own: the splash logo, the two
// pictures of the login dialog and the report logo.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qz {

struct BmpColour {
  uint8_t r = 0, g = 0, b = 0;
};

// A 24-bit uncompressed Windows bitmap (BITMAPFILEHEADER + BITMAPINFOHEADER,
// bottom-up rows padded to 4 bytes) of `width` x `height` pixels; `pixel` is
// asked for every pixel with (0, 0) at the top left.
std::string EncodeBmp(int width, int height, const std::function<BmpColour(int x, int y)>& pixel);

struct InstallFile {
  std::string path;  // relative to the installation folder, e.g. "BMP/LOGO32.BMP"
  std::string bytes;
};

// LOGO32.BMP, ART1.BMP, ADS2.BMP, KORVALIS.BMP and the cash button's icon
// sets C_OPEN1-3.BMP and C_CLOSE1-3.BMP.
std::vector<InstallFile> InstallationBitmaps();

}  // namespace qz
