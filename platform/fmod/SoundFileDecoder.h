// Whole-file decoding for "fmod.dll": WAV (8 or 16-bit PCM), OGG Vorbis (Tremor) and MP3 (mpg123)
// into sample data the mixer can play. Bad or unsupported files give null, never a partial sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/SampleBuffer.h"

namespace plat::fmod {

// The largest decoded sound accepted (the same bound as a DirectSound buffer).
constexpr std::size_t kMaxDecodedBytes = 0x0FFFFFFF;

// Picks the decoder by the file's first bytes ("RIFF", "OggS"; anything else is tried as MP3).
[[nodiscard]] std::shared_ptr<audio::SampleBuffer> DecodeSoundFile(const std::string& path);

// The whole frames of decoded PCM as one sample; null when there is not one whole frame.
[[nodiscard]] std::shared_ptr<audio::SampleBuffer> SampleFromPcm(const audio::PcmFormat& format,
                                                                 const std::vector<std::uint8_t>& pcm);

[[nodiscard]] std::shared_ptr<audio::SampleBuffer> DecodeWav(const std::uint8_t* data, std::size_t size);
[[nodiscard]] std::shared_ptr<audio::SampleBuffer> DecodeOggFile(const std::string& path);
[[nodiscard]] std::shared_ptr<audio::SampleBuffer> DecodeMp3File(const std::string& path);

}  // namespace plat::fmod
