#include "platform/audio/Mp3File.h"

#include <mutex>

#include "platform/win/FileRead.h"

namespace plat::audio {

Mp3Handle OpenMp3File(const std::string& path) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = MPG123_OK;
  Mp3Handle handle(mpg123_new(nullptr, &error));
  if (!handle) return nullptr;
  mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i)
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  // mpg123 opens the path itself and would wait on a pipe: only a regular file that opens is given to it.
  if (!OpenFileForReading(path) || mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return nullptr;
  return handle;
}

}  // namespace plat::audio
