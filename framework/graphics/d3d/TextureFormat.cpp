#include "framework/graphics/d3d/TextureFormat.h"

namespace Kit {
namespace {

struct FormatRow {
  int formatClass;
  DWORD flags, bits, red, green, blue, alpha;
};

constexpr FormatRow kFormats[] = {
    {TEXFMT_A8R8G8B8, DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {TEXFMT_A4R4G4B4, DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {TEXFMT_R5G6B5, DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0},
    {TEXFMT_PALETTE8, DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0},
};

}  // namespace

int GetTextureFormatClass(const DDPIXELFORMAT& format) {
  for (const FormatRow& row : kFormats) {
    if (format.dwFlags != row.flags || format.dwRGBBitCount != row.bits) continue;
    if (row.formatClass == TEXFMT_PALETTE8) return row.formatClass;
    if (format.dwRBitMask == row.red && format.dwGBitMask == row.green && format.dwBBitMask == row.blue &&
        format.dwRGBAlphaBitMask == row.alpha)
      return row.formatClass;
  }
  return 0;
}

DDPIXELFORMAT MakeTexturePixelFormat(int formatClass) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(format);
  for (const FormatRow& row : kFormats) {
    if (row.formatClass != formatClass) continue;
    format.dwFlags = row.flags;
    format.dwRGBBitCount = row.bits;
    format.dwRBitMask = row.red;
    format.dwGBitMask = row.green;
    format.dwBBitMask = row.blue;
    format.dwRGBAlphaBitMask = row.alpha;
  }
  return format;
}

}  // namespace Kit
