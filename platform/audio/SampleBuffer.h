// PCM data shared by every voice that plays it. Writers bracket their changes with BeginWrite and
// EndWrite; while a write is open the mixer leaves the data alone (the voices keep moving, silently), so
// a loading thread may decode into a buffer without racing the audio thread and without stalling it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/audio/PcmFormat.h"

namespace plat::audio {

class SampleBuffer {
 public:
  // Silence of the given size; throws std::bad_alloc when it cannot be had.
  SampleBuffer(PcmFormat format, std::size_t bytes);
  SampleBuffer(const SampleBuffer&) = delete;
  SampleBuffer& operator=(const SampleBuffer&) = delete;

  const PcmFormat& Format() const { return mFormat; }
  std::size_t Bytes() const { return mBytes; }
  std::size_t Frames() const { return mBytes / mFormat.FrameBytes(); }

  // The raw bytes. Outside the mixer, touch them only between BeginWrite and EndWrite (or while no
  // voice of this buffer can play).
  std::uint8_t* Data() { return mData.get(); }
  const std::uint8_t* Data() const { return mData.get(); }

  // Writes may nest (several locked regions at once); the mixer reads again once all have ended.
  void BeginWrite();
  void EndWrite();

  // The mixer's side: holds the buffer's lock while it reads; Readable tells whether no write is open.
  std::mutex& ReadMutex() { return mMutex; }
  bool ReadableLocked() const { return mOpenWrites == 0; }

 private:
  struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
  };

  PcmFormat mFormat;
  std::size_t mBytes;
  std::unique_ptr<std::uint8_t, FreeDeleter> mData;
  std::mutex mMutex;
  int mOpenWrites = 0;
};

}  // namespace plat::audio
