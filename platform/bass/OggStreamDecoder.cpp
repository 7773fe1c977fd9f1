// OGG Vorbis streams through Tremor: a few kilobytes are decoded at a time, as the mixer asks for them.
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/bass/StreamDecoder.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/files/FileRead.h"

namespace plat::bass {

namespace {

// Holes (lost pages) are skipped; a file made of little else ends rather than spinning.
constexpr int kMaxHolesPerRead = 64;

class OggStreamDecoder final : public StreamDecoder {
 public:
  OggStreamDecoder(audio::PcmFormat format, OggVorbis_File* vorbis) : StreamDecoder(format), mVorbis(vorbis) {}
  ~OggStreamDecoder() override {
    ov_clear(mVorbis.get());  // closes the file too
  }

  std::size_t Read(std::uint8_t* dest, std::size_t bytes) override {
    std::size_t frameBytes = Format().FrameBytes();
    bytes -= bytes % frameBytes;
    std::size_t done = 0;
    int holes = 0;
    while (done < bytes && !mEnded) {
      // Tremor writes whole frames when asked for at most what is left.
      int want = static_cast<int>(std::min<std::size_t>(bytes - done, INT_MAX / 2));
      int bitstream = 0;
      long got = ov_read(mVorbis.get(), reinterpret_cast<char*>(dest + done), want, &bitstream);
      if (got == OV_HOLE && ++holes <= kMaxHolesPerRead) continue;
      if (got <= 0) {
        mEnded = true;
        break;
      }
      // A chained file whose next part has another layout cannot go on in this stream's format.
      vorbis_info* info = ov_info(mVorbis.get(), bitstream);
      if (!info || info->channels != Format().channels || info->rate != Format().rate) {
        mEnded = true;
        break;
      }
      done += static_cast<std::size_t>(got);
    }
    return done - done % frameBytes;
  }

  bool Seek(std::uint64_t frame) override {
    ogg_int64_t total = ov_pcm_total(mVorbis.get(), -1);
    if (total < 0 || frame > static_cast<std::uint64_t>(total)) return false;
    if (ov_pcm_seek(mVorbis.get(), static_cast<ogg_int64_t>(frame)) != 0) return false;
    mEnded = false;
    return true;
  }

 private:
  struct Free {
    void operator()(OggVorbis_File* vorbis) const { delete vorbis; }
  };
  std::unique_ptr<OggVorbis_File, Free> mVorbis;
  bool mEnded = false;
};

}  // namespace

std::unique_ptr<StreamDecoder> OpenOggStream(const std::string& path) {
  std::FILE* file = OpenFileForReading(path).release();
  if (!file) return nullptr;
  auto vorbis = std::make_unique<OggVorbis_File>();
  if (ov_open(file, vorbis.get(), nullptr, 0) < 0) {
    std::fclose(file);
    return nullptr;
  }
  vorbis_info* info = ov_info(vorbis.get(), -1);
  audio::PcmFormat format;
  if (info) format = {info->channels, plat::ClampToInt(info->rate), 16};
  if (!info || !format.IsValid()) {
    ov_clear(vorbis.get());
    return nullptr;
  }
  return std::make_unique<OggStreamDecoder>(format, vorbis.release());
}

}  // namespace plat::bass
