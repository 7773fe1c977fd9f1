// RIFF WAVE files made on the spot for the sound and music tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A RIFF WAVE file: "fmt " (16 bytes, or 18 with extraFmtBytes) then "data".
std::string WavFile(int channels, int rate, int bits, const std::vector<std::uint8_t>& data, int formatTag = 1,
                    bool extraFmtBytes = false);
// 16-bit samples as little-endian bytes.
std::vector<std::uint8_t> Pcm16(const std::vector<std::int16_t>& samples);

}  // namespace testsupport
