// The shape of PCM sample data the mixer plays: interleaved frames of 1 or 2 channels, unsigned 8-bit or
// signed 16-bit little-endian samples.
#pragma once

#include <cstddef>

namespace plat::audio {

// The sample rates a voice may play at, in frames per second.
constexpr int kMinRate = 100;
constexpr int kMaxRate = 100000;

struct PcmFormat {
  int channels = 2;
  int rate = 44100;
  int bits = 16;

  std::size_t FrameBytes() const { return static_cast<std::size_t>(channels * bits / 8); }
  bool IsValid() const {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= kMinRate && rate <= kMaxRate;
  }
  bool operator==(const PcmFormat&) const = default;
};

}  // namespace plat::audio
