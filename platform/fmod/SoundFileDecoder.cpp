#include "platform/fmod/SoundFileDecoder.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/win/PathMap.h"

namespace plat::fmod {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A WAV is read whole; bigger than a sound may be, it is refused before it is read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  long size = std::ftell(file.get());
  if (size < 0 || static_cast<unsigned long>(size) > kMaxDecodedBytes + 4096) return false;
  std::rewind(file.get());
  out.resize(static_cast<std::size_t>(size));
  return std::fread(out.data(), 1, out.size(), file.get()) == out.size();
}

}  // namespace

std::shared_ptr<audio::SampleBuffer> SampleFromPcm(const audio::PcmFormat& format,
                                                   const std::vector<std::uint8_t>& pcm) {
  std::size_t bytes = pcm.size() - pcm.size() % format.FrameBytes();
  if (bytes == 0) return nullptr;
  auto samples = std::make_shared<audio::SampleBuffer>(format, bytes);
  std::memcpy(samples->Data(), pcm.data(), bytes);
  return samples;
}

std::shared_ptr<audio::SampleBuffer> DecodeSoundFile(const std::string& programPath) {
  std::string path = MapPath(programPath);
  char magic[4] = {};
  {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fread(magic, 1, 4, file.get()) != 4) return nullptr;
  }
  if (std::memcmp(magic, "RIFF", 4) == 0) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return nullptr;
    return DecodeWav(bytes.data(), bytes.size());
  }
  if (std::memcmp(magic, "OggS", 4) == 0) return DecodeOggFile(path);
  return DecodeMp3File(path);
}

}  // namespace plat::fmod
