// The streams of the layer's "bass.dll" (WAV header walk, OGG through Tremor, MP3 through mpg123) on
// arbitrary bytes: opened, read through, moved and read again.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzInputFile.h"
#include "platform/bass/StreamDecoder.h"

namespace {

// Enough to cross many pages without letting one input run for long.
constexpr std::size_t kMaxBytesRead = 8 << 20;

void ReadThrough(plat::bass::StreamDecoder& decoder) {
  std::vector<std::uint8_t> block(4096);
  std::size_t total = 0;
  while (total < kMaxBytesRead) {
    std::size_t got = decoder.Read(block.data(), block.size());
    if (got == 0) break;
    total += got;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzzsupport::WriteInputFile(data, size, ".stream");
  auto decoder = plat::bass::OpenStreamDecoder(path);
  if (!decoder) return 0;
  ReadThrough(*decoder);
  if (decoder->Seek(0)) ReadThrough(*decoder);
  decoder->Seek(size);
  ReadThrough(*decoder);
  return 0;
}
