// MP3 files through mpg123, opened the same way for whole-file decoding and for streaming: 16-bit
// signed output at the file's own rate and channel count, the library's messages off. The handle owns
// the file it reads. Each handle is used by one thread at a time.
#pragma once

#include <mpg123.h>

#include <memory>
#include <string>

#include "platform/win/files/FileRead.h"

namespace plat::audio {

// Closes the handle, then the file it read through its descriptor (mpg123 leaves a descriptor it was
// given open).
struct Mp3HandleDeleter {
  FilePtr file;
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using Mp3Handle = std::unique_ptr<mpg123_handle, Mp3HandleDeleter>;

// The opened file, or null when it is no regular file that opens or mpg123 cannot make a handle or
// read it.
[[nodiscard]] Mp3Handle OpenMp3File(const std::string& path);

}  // namespace plat::audio
