// MP3 files through mpg123, opened the same way for whole-file decoding and for streaming: 16-bit
// signed output at the file's own rate and channel count, the library's messages off.
#pragma once

#include <mpg123.h>

#include <memory>
#include <string>

namespace plat::audio {

struct Mp3HandleDeleter {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using Mp3Handle = std::unique_ptr<mpg123_handle, Mp3HandleDeleter>;

// The opened file, or null when mpg123 cannot make a handle or open it.
Mp3Handle OpenMp3File(const std::string& path);

}  // namespace plat::audio
