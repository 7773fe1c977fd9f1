#include <tremor/ivorbisfile.h>

#include <cstdio>
#include <vector>

#include "platform/fmod/SoundFileDecoder.h"
#include "platform/win/files/FileRead.h"

namespace plat::fmod {

std::shared_ptr<audio::SampleBuffer> DecodeOggFile(const std::string& path) {
  std::FILE* file = OpenFileForReading(path).release();
  if (!file) return nullptr;
  OggVorbis_File vorbis;
  if (ov_open(file, &vorbis, nullptr, 0) < 0) {
    std::fclose(file);
    return nullptr;
  }
  struct Clear {
    OggVorbis_File* vorbis;
    ~Clear() { ov_clear(vorbis); }
  } clear{&vorbis};
  vorbis_info* info = ov_info(&vorbis, -1);
  if (!info) return nullptr;
  audio::PcmFormat format{info->channels, static_cast<int>(std::min<long>(info->rate, 1L << 30)), 16};
  if (!format.IsValid()) return nullptr;
  // The stream is read to its end rather than trusting the length its last page claims.
  std::vector<std::uint8_t> pcm;
  std::vector<char> chunk(16384);
  for (;;) {
    int bitstream = 0;
    long got = ov_read(&vorbis, chunk.data(), static_cast<int>(chunk.size()), &bitstream);
    if (got == OV_HOLE) continue;
    if (got <= 0) break;
    // A chained stream that changes its layout cannot be one sample.
    vorbis_info* now = ov_info(&vorbis, bitstream);
    if (!now || now->channels != format.channels) return nullptr;
    if (pcm.size() + static_cast<std::size_t>(got) > kMaxDecodedBytes) return nullptr;
    pcm.insert(pcm.end(), chunk.data(), chunk.data() + got);
  }
  return SampleFromPcm(format, pcm);
}

}  // namespace plat::fmod
