#include "platform/audio/SampleBuffer.h"

#include <cstring>
#include <new>

namespace plat::audio {

SampleBuffer::SampleBuffer(PcmFormat format, std::size_t bytes) : mFormat(format), mBytes(bytes) {
  // calloc leaves large buffers to the kernel's zero pages, so a big sound costs nothing until written.
  auto* data = static_cast<std::uint8_t*>(std::calloc(bytes ? bytes : 1, 1));
  if (!data) throw std::bad_alloc();
  mData.reset(data);
  // Unsigned 8-bit silence is the middle value, not zero.
  if (format.bits == 8) std::memset(data, 0x80, bytes);
}

void SampleBuffer::BeginWrite() {
  std::lock_guard lock(mMutex);
  ++mOpenWrites;
}

void SampleBuffer::EndWrite() {
  std::lock_guard lock(mMutex);
  if (mOpenWrites > 0) --mOpenWrites;
}

}  // namespace plat::audio
