#include <vector>

#include "platform/audio/Mp3File.h"
#include "platform/fmod/SoundFileDecoder.h"

namespace plat::fmod {

std::shared_ptr<audio::SampleBuffer> DecodeMp3File(const std::string& path) {
  audio::Mp3Handle handle = audio::OpenMp3File(path);
  if (!handle) return nullptr;
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) return nullptr;
  audio::PcmFormat format{channels, static_cast<int>(rate), 16};
  if (!format.IsValid()) return nullptr;

  std::vector<std::uint8_t> pcm;
  std::vector<unsigned char> chunk(16384);
  for (;;) {
    std::size_t done = 0;
    int result = mpg123_read(handle.get(), chunk.data(), chunk.size(), &done);
    if (pcm.size() + done > kMaxDecodedBytes) return nullptr;
    pcm.insert(pcm.end(), chunk.data(), chunk.data() + done);
    // The end, an error, or a change of format mid-stream (one sample has one format) all end it.
    if (result != MPG123_OK) break;
  }
  return SampleFromPcm(format, pcm);
}

}  // namespace plat::fmod
