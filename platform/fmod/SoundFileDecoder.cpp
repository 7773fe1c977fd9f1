#include "platform/fmod/SoundFileDecoder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace plat::fmod {

namespace {

// A WAV is read whole, up to the biggest sound and its header.
constexpr std::size_t kMaxWavFileBytes = kMaxDecodedBytes + 4096;

}  // namespace

std::shared_ptr<audio::SampleBuffer> SampleFromPcm(const audio::PcmFormat& format,
                                                   const std::vector<std::uint8_t>& pcm) {
  std::size_t bytes = pcm.size() - pcm.size() % format.FrameBytes();
  if (bytes == 0) return nullptr;
  auto samples = std::make_shared<audio::SampleBuffer>(format, bytes);
  std::memcpy(samples->Data(), pcm.data(), bytes);
  return samples;
}

std::shared_ptr<audio::SampleBuffer> DecodeSoundFile(const std::string& programPath) {
  std::string path = MapPath(programPath);
  char magic[4] = {};
  {
    const FilePtr file = OpenFileForReading(path);
    if (!file || std::fread(magic, 1, 4, file.get()) != 4) return nullptr;
  }
  if (std::memcmp(magic, "RIFF", 4) == 0) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, &bytes, kMaxWavFileBytes) != FileReadResult::kRead) return nullptr;
    return DecodeWav(bytes.data(), bytes.size());
  }
  if (std::memcmp(magic, "OggS", 4) == 0) return DecodeOggFile(path);
  return DecodeMp3File(path);
}

}  // namespace plat::fmod
