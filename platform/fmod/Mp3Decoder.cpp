#include <mpg123.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/fmod/SoundFileDecoder.h"

namespace plat::fmod {

namespace {

struct HandleDeleter {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

}  // namespace

std::shared_ptr<audio::SampleBuffer> DecodeMp3File(const std::string& path) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &error));
  if (!handle) return nullptr;
  mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  // Only 16-bit output, at whatever rate and channel count the file has.
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i) {
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return nullptr;
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
  std::size_t bytes = pcm.size() - pcm.size() % format.FrameBytes();
  if (bytes == 0) return nullptr;
  auto samples = std::make_shared<audio::SampleBuffer>(format, bytes);
  std::memcpy(samples->Data(), pcm.data(), bytes);
  return samples;
}

}  // namespace plat::fmod
