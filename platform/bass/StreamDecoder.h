// A sound file (WAV, OGG Vorbis, MP3 or a tracker module) decoded piece by piece as it plays: the source of a
// "bass.dll" channel. Bad or unsupported files are refused when opened; a file that goes bad later simply ends there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/PcmFormat.h"

namespace plat::bass {

class StreamDecoder {
 public:
  virtual ~StreamDecoder() = default;

  const audio::PcmFormat& Format() const { return mFormat; }
  // Decodes up to `bytes` (rounded down to whole frames) into dest; returns the bytes written, fewer
  // only at the end of the sound (or where the data stops making sense).
  virtual std::size_t Read(std::uint8_t* dest, std::size_t bytes) = 0;
  // Moves to a frame counted from the start; false (and no move) when it lies beyond the end.
  virtual bool Seek(std::uint64_t frame) = 0;
  // After the end, goes to where a looping sound starts over: its start, unless the file names another place.
  virtual bool Restart() { return Seek(0); }
  // Moves to the start of a pattern order of a module; false (and no move) for other sounds and for orders the
  // module does not have.
  virtual bool SeekOrder(int) { return false; }

 protected:
  explicit StreamDecoder(audio::PcmFormat format) : mFormat(format) {}

 private:
  audio::PcmFormat mFormat;
};

// Opens a file by its first bytes: "RIFF" a WAV, "OggS" an OGG Vorbis stream, an ID3 tag or an MPEG
// frame sync an MP3; null for anything else and for files that cannot be read or decoded. `path` is a
// host path.
[[nodiscard]] std::unique_ptr<StreamDecoder> OpenStreamDecoder(const std::string& path);

[[nodiscard]] std::unique_ptr<StreamDecoder> OpenWavStream(const std::string& path);
[[nodiscard]] std::unique_ptr<StreamDecoder> OpenOggStream(const std::string& path);
[[nodiscard]] std::unique_ptr<StreamDecoder> OpenMp3Stream(const std::string& path);

// Opens a tracker module (MOD, S3M, XM, IT and the other formats libopenmpt reads), rendered as 16-bit stereo at
// `rate`; null for a file that is no module. Played once it ends at the song's end; Restart goes on at the song's
// own restart position.
[[nodiscard]] std::unique_ptr<StreamDecoder> OpenModuleStream(const std::string& path, int rate);

}  // namespace plat::bass
