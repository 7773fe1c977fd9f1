// The streams of the layer's "bass.dll" (WAV header walk, OGG through Tremor, MP3 through mpg123) on
// arbitrary bytes: opened, read through, moved and read again.
#include <cstdint>

#include "fuzz/FuzzInputFile.h"
#include "fuzz/StreamDecoderFuzz.h"

namespace {

// Enough to cross many pages without letting one input run for long.
constexpr std::size_t kMaxBytesRead = 8 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzzsupport::WriteInputFile(data, size, ".stream");
  auto decoder = plat::bass::OpenStreamDecoder(path);
  if (!decoder) return 0;
  fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  if (decoder->Seek(0)) fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  decoder->Seek(size);
  fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  return 0;
}
