// A DirectDraw palette: 2, 4, 16 or 256 entries, with the flags byte as alpha when made with
// DDPCAPS_ALPHA. Its entries are guarded by the owning device's mutex, like surface pixels.
#pragma once

#include <memory>
#include <vector>

#include "platform/ddraw/ComObject.h"
#include "platform/ddraw/DDraw.h"

namespace plat::ddraw {

class DisplayDevice;

class Palette final : public ComObject<IDirectDrawPalette> {
 public:
  // Checks the capabilities and copies the first entries; the result has one reference.
  static HRESULT Create(const std::shared_ptr<DisplayDevice>& device, DWORD flags, const PALETTEENTRY* entries,
                        Palette** out);

  HRESULT GetCaps(LPDWORD caps) override;
  HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) override;

  // ---- for surfaces and the 3D device, under the device's mutex ----
  const DisplayDevice* Device() const { return mDevice.get(); }
  size_t Size() const { return mEntries.size(); }
  // Entry i as 0xAARRGGBB; alpha is 0xFF unless the palette keeps alpha in its flags.
  DWORD Argb(size_t index) const;

 private:
  Palette(std::shared_ptr<DisplayDevice> device, DWORD caps, size_t size);
  ~Palette() override = default;

  std::shared_ptr<DisplayDevice> mDevice;
  const DWORD mCaps;
  std::vector<PALETTEENTRY> mEntries;
};

}  // namespace plat::ddraw
