// Tracker modules made on the spot for the music tests: four-channel ProTracker MOD files whose one
// instrument is a looping square wave.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A MOD whose order list plays patterns 0, 1, 2, ... once each. Pattern p strikes the square wave on the
// left-hand channel at volume levels[p] (0 to 64) and lasts four rows at speed 3: 0.24 s at the format's
// 125 BPM, so a song of n patterns lasts n × 0.24 s and restarts at order 0.
std::string SquareWaveMod(const std::vector<int>& levels);

// Frames of 44.1 kHz output one pattern of SquareWaveMod lasts.
constexpr std::size_t kModPatternFrames = 10584;

}  // namespace testsupport
