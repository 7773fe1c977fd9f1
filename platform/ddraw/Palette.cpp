#include "platform/ddraw/Palette.h"

#include <algorithm>
#include <mutex>

#include "platform/ddraw/DisplayDevice.h"

namespace plat::ddraw {
namespace {

constexpr DWORD kSizeCaps = DDPCAPS_1BIT | DDPCAPS_2BIT | DDPCAPS_4BIT | DDPCAPS_8BIT;
constexpr DWORD kKnownCaps =
    kSizeCaps | DDPCAPS_8BITENTRIES | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA | DDPCAPS_PRIMARYSURFACE;

size_t EntryCount(DWORD caps) {
  switch (caps & kSizeCaps) {
    case DDPCAPS_1BIT:
      return 2;
    case DDPCAPS_2BIT:
      return 4;
    case DDPCAPS_4BIT:
      return 16;
    case DDPCAPS_8BIT:
      return 256;
    default:
      return 0;  // none or more than one size
  }
}

}  // namespace

Palette::Palette(std::shared_ptr<DisplayDevice> device, DWORD caps, size_t size)
    : ComObject(IID_IDirectDrawPalette), mDevice(std::move(device)), mCaps(caps), mEntries(size) {}

HRESULT Palette::Create(const std::shared_ptr<DisplayDevice>& device, DWORD flags, const PALETTEENTRY* entries,
                        Palette** out) {
  *out = nullptr;
  const size_t size = EntryCount(flags);
  if (!entries || size == 0 || (flags & ~kKnownCaps)) return DDERR_INVALIDPARAMS;
  // The layer shows no palettized desktop, so no palette drives the screen.
  if (flags & DDPCAPS_PRIMARYSURFACE) return DDERR_UNSUPPORTED;
  auto* palette = new Palette(device, flags, size);
  std::copy_n(entries, size, palette->mEntries.begin());
  *out = palette;
  return DD_OK;
}

HRESULT Palette::GetCaps(LPDWORD caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  *caps = mCaps;
  return DD_OK;
}

HRESULT Palette::GetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) {
  if (flags != 0 || !entries || start > mEntries.size() || count > mEntries.size() - start) return DDERR_INVALIDPARAMS;
  std::lock_guard lock(mDevice->Mutex());
  std::copy_n(mEntries.begin() + start, count, entries);
  return DD_OK;
}

DWORD Palette::Argb(size_t index) const {
  const PALETTEENTRY& e = mEntries[index];
  const DWORD alpha = (mCaps & DDPCAPS_ALPHA) ? e.peFlags : 0xFF;
  return (alpha << 24) | (DWORD{e.peRed} << 16) | (DWORD{e.peGreen} << 8) | e.peBlue;
}

}  // namespace plat::ddraw
