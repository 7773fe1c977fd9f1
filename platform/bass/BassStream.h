// One "bass.dll" channel, a stream or a module: a decoder that the mixing thread reads from as it plays, and
// the mixer voice that plays it. Restarting or moving a stream makes a fresh voice, so that what the old
// one had already decoded is dropped rather than heard.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/audio/Voice.h"
#include "platform/bass/StreamDecoder.h"

namespace plat::bass {

class BassStream {
 public:
  explicit BassStream(std::unique_ptr<StreamDecoder> decoder);
  ~BassStream();
  BassStream(const BassStream&) = delete;
  BassStream& operator=(const BassStream&) = delete;

  const audio::PcmFormat& Format() const { return mFormat; }

  // Plays on from where it stopped; from the start when `fromStart` or when it had played out.
  void Play(bool fromStart, bool looping);
  // A module: plays from the start of a pattern order; false (and nothing changes) when it has no such order.
  bool PlayFromOrder(int order, bool looping);
  void Stop();
  // Pausing applies only to a playing stream.
  void Pause();
  void Resume();
  // Moves to a frame from the start, keeping it playing or stopped; false when it lies beyond the end.
  bool SetPosition(std::uint64_t frame);
  // A module: moves to the start of a pattern order in the same way; false when it has no such order.
  bool SetOrder(int order);

  bool IsPlaying() const;
  bool IsPaused() const { return mPaused; }
  bool IsLooping() const;
  void SetLooping(bool looping);

  // The library's global state that every stream's voice follows.
  void SetOutputRunning(bool running);
  void SetGain(float left, float right);
  void SetFrequency(int rate);
  int Frequency() const { return mFrequency; }

 private:
  // What the mixing thread reads; it outlives the voice that reads it.
  struct Source {
    std::mutex mutex;
    std::unique_ptr<StreamDecoder> decoder;
    bool looping = false;
    bool ended = false;
    std::size_t Fill(std::uint8_t* dest, std::size_t bytes);
  };

  // Moves the decoder with `move` and makes a fresh voice; false (and no change) when the move fails.
  bool Rewind(const std::function<bool(StreamDecoder&)>& move);
  bool MoveTo(const std::function<bool(StreamDecoder&)>& move);
  void Start(bool looping);
  void MakeVoice();
  void ApplyPause();

  const audio::PcmFormat mFormat;
  std::shared_ptr<Source> mSource;
  std::unique_ptr<audio::Voice> mVoice;
  float mGainLeft = 1.0f;
  float mGainRight = 1.0f;
  int mFrequency;
  bool mPaused = false;
  bool mOutputRunning = true;
};

}  // namespace plat::bass
