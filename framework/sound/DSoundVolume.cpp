#include "framework/sound/DSoundVolume.h"

#include <algorithm>
#include <cmath>

namespace Kit {

int DSoundVolumeFromLinear(double volume) {
  // Negative (or NaN) volumes would take the logarithm of nothing; they are silence.
  double v = std::isnan(volume) ? 0.0 : std::clamp(volume, 0.0, 1.0);
  int attenuation = static_cast<int>((std::log10(9.0 * v + 1.0) - 1.0) * 2333.0);
  return attenuation < -2000 ? -10000 : attenuation;
}

}  // namespace Kit
