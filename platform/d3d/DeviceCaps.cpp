#include "platform/d3d/DeviceCaps.h"

#include <cstring>

namespace plat::d3d {
namespace {

constexpr DWORD kMaxTextureSide = 2048;

DDPIXELFORMAT RgbFormat(DWORD flags, DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
  DDPIXELFORMAT format{};
  format.dwSize = sizeof(DDPIXELFORMAT);
  format.dwFlags = flags;
  format.dwRGBBitCount = bits;
  format.dwRBitMask = r;
  format.dwGBitMask = g;
  format.dwBBitMask = b;
  format.dwRGBAlphaBitMask = a;
  return format;
}

D3DPRIMCAPS PrimitiveCaps() {
  D3DPRIMCAPS caps{};
  caps.dwSize = sizeof(D3DPRIMCAPS);
  caps.dwMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  caps.dwZCmpCaps = D3DPCMPCAPS_ALWAYS;
  caps.dwSrcBlendCaps = D3DPBLENDCAPS_ALL;
  caps.dwDestBlendCaps = D3DPBLENDCAPS_ALL;
  caps.dwAlphaCmpCaps = D3DPCMPCAPS_ALL;
  caps.dwShadeCaps = D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                     D3DPSHADECAPS_ALPHAFLATBLEND | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
  caps.dwTextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_ALPHAPALETTE;
  caps.dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MINFPOINT |
                             D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MAGFPOINT |
                             D3DPTFILTERCAPS_MAGFLINEAR;
  caps.dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                              D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
  return caps;
}

}  // namespace

D3DDEVICEDESC7 DeviceDescription() {
  D3DDEVICEDESC7 desc;
  std::memset(&desc, 0, sizeof(desc));  // the padding too: the adapter identity digests these bytes
  desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                   D3DDEVCAPS_HWRASTERIZATION;
  desc.dpcLineCaps = PrimitiveCaps();
  desc.dpcTriCaps = PrimitiveCaps();
  desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
  desc.dwMinTextureWidth = 1;
  desc.dwMinTextureHeight = 1;
  desc.dwMaxTextureWidth = kMaxTextureSide;
  desc.dwMaxTextureHeight = kMaxTextureSide;
  desc.dwMaxTextureRepeat = 32768;
  desc.dwMaxTextureAspectRatio = kMaxTextureSide;
  desc.dvGuardBandLeft = -16384.0f;
  desc.dvGuardBandTop = -16384.0f;
  desc.dvGuardBandRight = 16384.0f;
  desc.dvGuardBandBottom = 16384.0f;
  desc.dwFVFCaps = 1;  // one set of texture coordinates
  desc.dwTextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                         D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X | D3DTEXOPCAPS_ADD;
  desc.wMaxTextureBlendStages = 1;
  desc.wMaxSimultaneousTextures = 1;
  desc.dvMaxVertexW = 1.0f;
  desc.deviceGUID = IID_IDirect3DHALDevice;
  return desc;
}

const std::vector<DDPIXELFORMAT>& TextureFormats() {
  static const std::vector<DDPIXELFORMAT> formats = {
      RgbFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
      RgbFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000),
      RgbFormat(DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0),
      RgbFormat(DDPF_RGB | DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0),
  };
  return formats;
}

bool IsTextureFormat(const DDPIXELFORMAT& format) {
  for (const DDPIXELFORMAT& known : TextureFormats()) {
    if (known.dwFlags != format.dwFlags || known.dwRGBBitCount != format.dwRGBBitCount) continue;
    if (known.dwFlags & DDPF_PALETTEINDEXED8) return true;
    if (known.dwRBitMask == format.dwRBitMask && known.dwGBitMask == format.dwGBitMask &&
        known.dwBBitMask == format.dwBBitMask && known.dwRGBAlphaBitMask == format.dwRGBAlphaBitMask)
      return true;
  }
  return false;
}

GUID AdapterGuid() {
  // FNV-1a over everything the device reports, twice with different seeds for 128 bits.
  std::uint64_t low = 0xcbf29ce484222325ull, high = 0x84222325cbf29ce4ull;
  auto digest = [&](const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      low = (low ^ bytes[i]) * 0x100000001b3ull;
      high = (high ^ bytes[i]) * 0x100000001b3ull ^ (high >> 29);
    }
  };
  const D3DDEVICEDESC7 desc = DeviceDescription();
  digest(&desc, sizeof(desc));
  for (const DDPIXELFORMAT& format : TextureFormats()) digest(&format, sizeof(format));
  GUID guid;
  std::memcpy(&guid, &low, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&guid) + 8, &high, 8);
  return guid;
}

}  // namespace plat::d3d
