// MP3 streams through mpg123, decoded a block at a time as they play. The output format is fixed at
// the first frame; a file that changes it later ends there.
#include <cstdio>

#include "platform/audio/Mp3File.h"
#include "platform/bass/StreamDecoder.h"

namespace plat::bass {

namespace {

class Mp3StreamDecoder final : public StreamDecoder {
 public:
  Mp3StreamDecoder(audio::PcmFormat format, audio::Mp3Handle handle)
      : StreamDecoder(format), mHandle(std::move(handle)) {}

  std::size_t Read(std::uint8_t* dest, std::size_t bytes) override {
    std::size_t frameBytes = Format().FrameBytes();
    bytes -= bytes % frameBytes;
    std::size_t done = 0;
    while (done < bytes && !mEnded) {
      std::size_t got = 0;
      int result = mpg123_read(mHandle.get(), dest + done, bytes - done, &got);
      done += got;
      if (result != MPG123_OK) mEnded = true;  // the end, an error or a change of format
    }
    return done - done % frameBytes;
  }

  bool Seek(std::uint64_t frame) override {
    off_t length = mpg123_length(mHandle.get());
    if (length >= 0 && frame > static_cast<std::uint64_t>(length)) return false;
    if (mpg123_seek(mHandle.get(), static_cast<off_t>(frame), SEEK_SET) < 0) return false;
    mEnded = false;
    return true;
  }

 private:
  audio::Mp3Handle mHandle;
  bool mEnded = false;
};

}  // namespace

std::unique_ptr<StreamDecoder> OpenMp3Stream(const std::string& path) {
  audio::Mp3Handle handle = audio::OpenMp3File(path);
  if (!handle) return nullptr;
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) return nullptr;
  audio::PcmFormat format{channels, static_cast<int>(rate), 16};
  if (encoding != MPG123_ENC_SIGNED_16 || !format.IsValid()) return nullptr;
  // From here on the format stays: a later frame that would change it ends the stream.
  mpg123_format_none(handle.get());
  mpg123_format(handle.get(), rate, channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16);
  return std::make_unique<Mp3StreamDecoder>(format, std::move(handle));
}

}  // namespace plat::bass
