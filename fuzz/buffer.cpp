// Reads arbitrary bytes as a bit buffer the way the demo and profile readers do: fields of every
// width, strings with untrusted lengths, reads past the end.
#include <cstddef>
#include <cstdint>

#include "framework/util/Buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Kit::Buffer buffer;
  buffer.SetData(data, static_cast<int>(size > 1 << 20 ? 1 << 20 : size));
  int step = 0;
  while (!buffer.AtEnd() && step < 100000) {
    int before = buffer.mReadBitPos;
    switch (buffer.ReadNumBits(3, false)) {
      case 0:
        buffer.ReadNumBits(static_cast<int>(buffer.ReadNumBits(6, false)), true);
        break;
      case 1:
        buffer.ReadString();
        break;
      case 2:
        buffer.ReadLong();
        break;
      case 3:
        buffer.ReadShort();
        break;
      case 4:
        buffer.ReadBoolean();
        break;
      default: {
        uint8_t bytes[16];
        buffer.ReadBytes(bytes, static_cast<int>(buffer.ReadNumBits(4, false)));
        break;
      }
    }
    if (buffer.mReadBitPos == before) break;
    ++step;
  }
  // What was read must write back to the same bytes.
  Kit::Buffer copy;
  buffer.SeekFront();
  while (!buffer.AtEnd()) copy.WriteNumBits(buffer.ReadNumBits(7, false), 7);
  return 0;
}
