#include "platform/audio/Voice.h"

#include <algorithm>

#include "platform/audio/Mixer.h"

namespace plat::audio {

namespace {

std::int32_t FixedGain(float gain) {
  float clamped = std::clamp(gain, 0.0f, 1.0f);
  return static_cast<std::int32_t>(clamped * 65536.0f + 0.5f);
}

}  // namespace

Voice::Voice(Mixer& mixer, std::shared_ptr<SampleBuffer> samples, PcmFormat format, StreamFill fill)
    : mMixer(mixer), mSamples(std::move(samples)), mFormat(format), mFill(std::move(fill)), mFrequency(format.rate) {}

Voice::~Voice() { mMixer.RemoveVoice(this); }

void Voice::Play(bool looping) {
  std::lock_guard lock(mMixer.mMutex);
  mPlaying = true;
  mLooping = looping;
}

void Voice::SetLooping(bool looping) {
  std::lock_guard lock(mMixer.mMutex);
  mLooping = looping;
}

void Voice::Stop() {
  std::lock_guard lock(mMixer.mMutex);
  mPlaying = false;
}

bool Voice::IsPlaying() const {
  std::lock_guard lock(mMixer.mMutex);
  return mPlaying;
}

bool Voice::IsLooping() const {
  std::lock_guard lock(mMixer.mMutex);
  return mPlaying && mLooping;
}

void Voice::SetPaused(bool paused) {
  std::lock_guard lock(mMixer.mMutex);
  mPaused = paused;
}

bool Voice::IsPaused() const {
  std::lock_guard lock(mMixer.mMutex);
  return mPaused;
}

void Voice::SetPosition(std::size_t frame) {
  // A stream cannot seek; its position only counts what it has played.
  if (!mSamples) return;
  std::lock_guard lock(mMixer.mMutex);
  mPosition = static_cast<std::uint64_t>(std::min(frame, mSamples->Frames())) << 32;
}

std::size_t Voice::Position() const {
  std::lock_guard lock(mMixer.mMutex);
  return static_cast<std::size_t>(mStreamBase + (mPosition >> 32));
}

void Voice::SetFrequency(int rate) {
  std::lock_guard lock(mMixer.mMutex);
  mFrequency = std::clamp(rate, kMinRate, kMaxRate);
}

int Voice::Frequency() const {
  std::lock_guard lock(mMixer.mMutex);
  return mFrequency;
}

void Voice::SetGain(float left, float right) {
  std::lock_guard lock(mMixer.mMutex);
  mGainLeft = FixedGain(left);
  mGainRight = FixedGain(right);
}

void Voice::SetLoopRegion(std::size_t startFrame, std::size_t endFrame) {
  std::lock_guard lock(mMixer.mMutex);
  mLoopStart = startFrame;
  mLoopEnd = endFrame;
}

std::size_t Voice::LoopStartLocked(std::size_t frames) const {
  bool valid = mLoopStart < mLoopEnd && mLoopEnd <= frames;
  return valid ? mLoopStart : 0;
}

std::size_t Voice::LoopEndLocked(std::size_t frames) const {
  bool valid = mLoopStart < mLoopEnd && mLoopEnd <= frames;
  return valid ? mLoopEnd : frames;
}

}  // namespace plat::audio
