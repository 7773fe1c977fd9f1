#include "framework/graphics/raster/PolygonClip.h"

namespace Kit {

std::uint32_t LerpChannels(std::uint32_t a, std::uint32_t b, double t) {
  if (a == b) return a;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double ca = static_cast<double>((a >> shift) & 0xFF);
    const double cb = static_cast<double>((b >> shift) & 0xFF);
    const double channel = (cb - ca) * t + ca;
    out |= static_cast<std::uint32_t>(channel >= 255.0 ? 255.0 : channel > 0.0 ? channel : 0.0) << shift;
  }
  return out;
}

}  // namespace Kit
