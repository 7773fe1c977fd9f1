// The tracker modules of the layer's "bass.dll" and "fmod.dll" (libopenmpt behind the module decoder) on
// arbitrary bytes: opened, rendered through, moved to orders and positions and rendered again.
#include <cstdint>

#include "fuzz/FuzzInputFile.h"
#include "fuzz/StreamDecoderFuzz.h"

namespace {

// A few seconds of sound: enough to run many rows without letting one input run for long.
constexpr std::size_t kMaxBytesRead = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzzsupport::WriteInputFile(data, size, ".mod");
  auto decoder = plat::bass::OpenModuleStream(path, 22050);
  if (!decoder) return 0;
  fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  if (decoder->Restart()) fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  for (int order : {-1, 1, 255, 0x10000}) decoder->SeekOrder(order);
  fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  decoder->Seek(size);
  fuzzsupport::ReadThrough(*decoder, kMaxBytesRead);
  return 0;
}
