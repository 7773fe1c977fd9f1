// The loudness curve every DirectSound volume of the framework goes through.
#pragma once

namespace Kit {

// A linear volume (0.0 silent, 1.0 full) to DirectSound hundredths of a decibel: a gentle logarithmic
// curve down to -2000, below which the sound is switched off (-10000). Volumes outside 0..1 count as
// the nearer end.
int DSoundVolumeFromLinear(double volume);

}  // namespace Kit
