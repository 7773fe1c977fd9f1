// Reads DirectDraw pixels of any RGB format back as 0xFFRRGGBB, each channel widened to 8 bits by
// repeating its bits, so one golden picture serves 16-bit and 32-bit surfaces alike.
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "platform/ddraw/DDraw.h"

namespace testsupport {

// The width x height pixels of locked surface memory, row after row.
std::vector<std::uint32_t> ReadArgb(const void* bits, LONG pitch, int width, int height, const DDPIXELFORMAT& format);

// The top-left width x height pixels of a surface (either interface), or none if it does not lock.
template <typename Surface>
std::vector<std::uint32_t> ReadSurfaceArgb(Surface* surface, int width, int height) {
  std::conditional_t<std::is_same_v<Surface, IDirectDrawSurface7>, DDSURFACEDESC2, DDSURFACEDESC> desc{};
  desc.dwSize = sizeof(desc);
  if (!surface || surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return {};
  auto pixels = ReadArgb(desc.lpSurface, desc.lPitch, width, height, desc.ddpfPixelFormat);
  surface->Unlock(nullptr);
  return pixels;
}

}  // namespace testsupport
