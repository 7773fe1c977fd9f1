// One playback head of the mixer: plays a shared SampleBuffer (or the frames a stream callback supplies)
// at its own rate, gain and loop. Every operation is safe from any thread; the mixer must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio/PcmFormat.h"
#include "platform/audio/SampleBuffer.h"

namespace plat::audio {

class Mixer;

// Supplies a stream voice's next bytes (whole frames of the voice's format) into dest, up to `bytes`;
// returns how many it wrote. Fewer than asked means the stream has ended: the voice plays out what it
// got and stops. It runs on the mixing thread without the mixer's lock, so it may call the setters of
// voices, but it must not create or destroy voices.
using StreamFill = std::function<std::size_t(std::uint8_t* dest, std::size_t bytes)>;

class Voice {
 public:
  ~Voice();
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  const PcmFormat& Format() const { return mFormat; }
  // The sample data a buffer voice plays (null for a stream voice).
  const std::shared_ptr<SampleBuffer>& Samples() const { return mSamples; }

  // Starts from the current position. A looping voice wraps at the loop end to the loop start.
  void Play(bool looping);
  // Changes whether a playing voice wraps at its loop end, without starting or stopping it.
  void SetLooping(bool looping);
  // Stops where it is; the position stays.
  void Stop();
  bool IsPlaying() const;
  bool IsLooping() const;
  // A paused voice keeps its playing state but neither sounds nor moves.
  void SetPaused(bool paused);
  bool IsPaused() const;

  // Position in frames from the start of the data (streams: frames played since the start).
  void SetPosition(std::size_t frame);
  std::size_t Position() const;

  // Playback rate in frames per second, clamped to kMinRate..kMaxRate.
  void SetFrequency(int rate);
  int Frequency() const;

  // Linear gains per side, clamped to 0..1 (1 leaves the samples as they are).
  void SetGain(float left, float right);

  // Looping plays frames [start, end); an empty or out-of-range region means the whole buffer.
  void SetLoopRegion(std::size_t startFrame, std::size_t endFrame);

 private:
  friend class Mixer;
  Voice(Mixer& mixer, std::shared_ptr<SampleBuffer> samples, PcmFormat format, StreamFill fill);

  std::size_t LoopStartLocked(std::size_t frames) const;
  std::size_t LoopEndLocked(std::size_t frames) const;

  Mixer& mMixer;
  const std::shared_ptr<SampleBuffer> mSamples;
  const PcmFormat mFormat;
  const StreamFill mFill;

  // Guarded by the mixer's state lock.
  std::uint64_t mPosition = 0;    // frames, 32.32 fixed point, relative to mPending for streams
  std::uint64_t mStreamBase = 0;  // frames of a stream dropped from mPending so far
  int mFrequency;
  std::int32_t mGainLeft = 65536;  // 16.16 fixed point
  std::int32_t mGainRight = 65536;
  bool mPlaying = false;
  bool mLooping = false;
  bool mPaused = false;
  std::size_t mLoopStart = 0;
  std::size_t mLoopEnd = 0;

  // Stream state, touched only by the thread that mixes (under the mixer's mixing lock).
  std::vector<std::uint8_t> mPending;
  bool mStreamEnded = false;
};

}  // namespace plat::audio
