#include <cstdio>
#include <cstring>

#include "platform/bass/StreamDecoder.h"
#include "platform/win/files/FileRead.h"

namespace plat::bass {

std::unique_ptr<StreamDecoder> OpenStreamDecoder(const std::string& path) {
  char magic[4] = {};
  {
    const FilePtr file = OpenFileForReading(path);
    if (!file || std::fread(magic, 1, sizeof magic, file.get()) != sizeof magic) return nullptr;
  }
  if (std::memcmp(magic, "RIFF", 4) == 0) return OpenWavStream(path);
  if (std::memcmp(magic, "OggS", 4) == 0) return OpenOggStream(path);
  // An ID3 tag, or the sync bits of an MPEG audio frame.
  auto first = static_cast<unsigned char>(magic[0]);
  auto second = static_cast<unsigned char>(magic[1]);
  if (std::memcmp(magic, "ID3", 3) == 0 || (first == 0xff && (second & 0xe0) == 0xe0)) return OpenMp3Stream(path);
  return nullptr;
}

}  // namespace plat::bass
