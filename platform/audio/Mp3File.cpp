#include "platform/audio/Mp3File.h"

#include <cstdio>
#include <mutex>

namespace plat::audio {

Mp3Handle OpenMp3File(const std::string& path) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  // The file is opened once, by the one reader (which never waits on a pipe), and mpg123 reads that
  // file: a name opened a second time could by then stand for something else.
  FilePtr file = OpenFileForReading(path);
  if (!file) return nullptr;
  const int descriptor = ::fileno(file.get());
  int error = MPG123_OK;
  Mp3Handle handle(mpg123_new(nullptr, &error), Mp3HandleDeleter{std::move(file)});
  if (!handle) return nullptr;
  mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(handle.get());
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i)
    mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_fd(handle.get(), descriptor) != MPG123_OK) return nullptr;
  return handle;
}

}  // namespace plat::audio
