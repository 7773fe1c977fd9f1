// What an FSOUND_SAMPLE handle of the layer's "fmod.dll" points at.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/audio/SampleBuffer.h"

struct FSOUND_SAMPLE {
  std::shared_ptr<plat::audio::SampleBuffer> samples;
  int defaultFrequency = 44100;
  int defaultVolume = 100;
  int defaultPan = 128;
  int priority = 0;
  bool looping = false;
  // Loop region in frames, the end inclusive; both 0 means the whole sample.
  std::size_t loopStart = 0;
  std::size_t loopEnd = 0;
  int openLocks = 0;
};
