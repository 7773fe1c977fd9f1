// The tracker modules of the layer's "bass.dll" and "fmod.dll" (libopenmpt behind the module decoder) on
// arbitrary bytes: opened, rendered through, moved to orders and positions and rendered again.
#include <cstdint>
#include <vector>

#include "fuzz/FuzzInputFile.h"
#include "platform/bass/StreamDecoder.h"

namespace {

// A few seconds of sound: enough to run many rows without letting one input run for long.
constexpr std::size_t kMaxBytesRead = 1 << 20;

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
  std::string path = fuzzsupport::WriteInputFile(data, size, ".mod");
  auto decoder = plat::bass::OpenModuleStream(path, 22050);
  if (!decoder) return 0;
  ReadThrough(*decoder);
  if (decoder->Restart()) ReadThrough(*decoder);
  for (int order : {-1, 1, 255, 0x10000}) decoder->SeekOrder(order);
  ReadThrough(*decoder);
  decoder->Seek(size);
  ReadThrough(*decoder);
  return 0;
}
