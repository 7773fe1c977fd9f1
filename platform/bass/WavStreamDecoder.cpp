// WAV streams: the header is walked chunk by chunk from the file; the "data" chunk is then read in
// place as the stream plays. A data chunk claiming more than the file holds plays what is there.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/audio/WavFormat.h"
#include "platform/bass/StreamDecoder.h"
#include "platform/win/files/FileRead.h"

namespace plat::bass {

namespace {

struct DataRegion {
  audio::PcmFormat format;
  long offset = 0;
  std::uint64_t frames = 0;
};

bool FileSize(std::FILE* file, long& size) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  size = std::ftell(file);
  return size >= 0;
}

bool FindData(std::FILE* file, DataRegion& region) {
  long size = 0;
  if (!FileSize(file, size) || size < 12 || std::fseek(file, 0, SEEK_SET) != 0) return false;
  std::uint8_t head[12];
  if (std::fread(head, 1, 12, file) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0) {
    return false;
  }
  bool haveFormat = false;
  long at = 12;
  while (size - at >= 8) {
    std::uint8_t chunk[8];
    if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(chunk, 1, 8, file) != 8) return false;
    std::uint32_t chunkSize = audio::ReadLE32(chunk + 4);
    long body = at + 8;
    long available = size - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      std::uint8_t fmt[audio::kWavFormatBytes];
      if (chunkSize < sizeof fmt || available < static_cast<long>(sizeof fmt) ||
          std::fread(fmt, 1, sizeof fmt, file) != sizeof fmt) {
        return false;
      }
      auto parsed = audio::ParseWavFormat(fmt);
      if (!parsed) return false;
      region.format = *parsed;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return false;
      std::uint64_t bytes = std::min<std::uint64_t>(chunkSize, static_cast<std::uint64_t>(available));
      region.offset = body;
      region.frames = bytes / region.format.FrameBytes();
      return region.frames > 0;
    }
    if (chunkSize > static_cast<std::uint64_t>(available)) return false;
    at = body + static_cast<long>(chunkSize);
    // Chunks are padded to even sizes in a standard WAV, but not by every writer: an odd chunk is
    // followed by a pad byte only when that byte is zero.
    if ((chunkSize & 1) && at < size) {
      std::uint8_t pad = 1;
      if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(&pad, 1, 1, file) != 1) return false;
      if (pad == 0) ++at;
    }
  }
  return false;
}

class WavStreamDecoder final : public StreamDecoder {
 public:
  WavStreamDecoder(FilePtr file, const DataRegion& region)
      : StreamDecoder(region.format), mFile(std::move(file)), mRegion(region) {
    Seek(0);
  }

  std::size_t Read(std::uint8_t* dest, std::size_t bytes) override {
    std::size_t frameBytes = Format().FrameBytes();
    std::uint64_t frames = std::min<std::uint64_t>(bytes / frameBytes, mRegion.frames - mFrame);
    std::size_t got = std::fread(dest, 1, static_cast<std::size_t>(frames) * frameBytes, mFile.get());
    got -= got % frameBytes;
    mFrame += got / frameBytes;
    return got;
  }

  bool Seek(std::uint64_t frame) override {
    if (frame > mRegion.frames) return false;
    long offset = mRegion.offset + static_cast<long>(frame * Format().FrameBytes());
    if (std::fseek(mFile.get(), offset, SEEK_SET) != 0) return false;
    mFrame = frame;
    return true;
  }

 private:
  FilePtr mFile;
  DataRegion mRegion;
  std::uint64_t mFrame = 0;
};

}  // namespace

std::unique_ptr<StreamDecoder> OpenWavStream(const std::string& path) {
  FilePtr file = OpenFileForReading(path);
  DataRegion region;
  if (!file || !FindData(file.get(), region)) return nullptr;
  return std::make_unique<WavStreamDecoder>(std::move(file), region);
}

}  // namespace plat::bass
