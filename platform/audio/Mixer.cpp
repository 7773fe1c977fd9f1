#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace plat::audio {

namespace {

template <int Bits>
inline std::int32_t ReadSample(const std::uint8_t* p) {
  if constexpr (Bits == 16) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
  } else {
    return (static_cast<std::int32_t>(p[0]) - 128) * 256;
  }
}

inline std::int32_t Lerp(std::int32_t a, std::int32_t b, std::uint32_t fraction15) {
  return a + (((b - a) * static_cast<std::int32_t>(fraction15)) >> 15);
}

struct RenderJob {
  const std::uint8_t* data;
  std::size_t frames;  // frames available in data
  bool looping;
  std::size_t loopStart;
  std::size_t loopEnd;    // end of the played range (the data's end when not looping)
  std::uint64_t step;     // 32.32 frames per output frame
  std::int32_t gainLeft;  // 16.16
  std::int32_t gainRight;
};

enum class RenderEnd { Running, ReachedEnd };

// Adds `outFrames` resampled frames into the accumulator; stops early when a non-looping voice runs
// off the end of its data.
template <int Channels, int Bits>
RenderEnd Render(const RenderJob& job, std::uint64_t& position, std::int32_t* acc, std::size_t outFrames) {
  constexpr std::size_t kFrameBytes = Channels * Bits / 8;
  constexpr std::size_t kSampleBytes = Bits / 8;
  const std::size_t end = job.loopEnd;
  std::uint64_t pos = position;
  for (std::size_t n = 0; n < outFrames; ++n) {
    std::size_t index = static_cast<std::size_t>(pos >> 32);
    if (index >= end) {
      if (!job.looping || end <= job.loopStart) {
        position = pos;
        return RenderEnd::ReachedEnd;
      }
      std::size_t length = end - job.loopStart;
      index = job.loopStart + (index - job.loopStart) % length;
      pos = (static_cast<std::uint64_t>(index) << 32) | (pos & 0xffffffffu);
    }
    std::size_t next = index + 1;
    if (next >= end) next = job.looping ? job.loopStart : index;
    const std::uint8_t* a = job.data + index * kFrameBytes;
    const std::uint8_t* b = job.data + next * kFrameBytes;
    std::uint32_t fraction = static_cast<std::uint32_t>(pos & 0xffffffffu) >> 17;
    std::int32_t left = Lerp(ReadSample<Bits>(a), ReadSample<Bits>(b), fraction);
    std::int32_t right = left;
    if constexpr (Channels == 2)
      right = Lerp(ReadSample<Bits>(a + kSampleBytes), ReadSample<Bits>(b + kSampleBytes), fraction);
    acc[2 * n] += (left * job.gainLeft) >> 16;
    acc[2 * n + 1] += (right * job.gainRight) >> 16;
    pos += job.step;
  }
  position = pos;
  return RenderEnd::Running;
}

RenderEnd RenderAny(const PcmFormat& format, const RenderJob& job, std::uint64_t& position, std::int32_t* acc,
                    std::size_t outFrames) {
  if (format.channels == 1) {
    return format.bits == 8 ? Render<1, 8>(job, position, acc, outFrames)
                            : Render<1, 16>(job, position, acc, outFrames);
  }
  return format.bits == 8 ? Render<2, 8>(job, position, acc, outFrames) : Render<2, 16>(job, position, acc, outFrames);
}

constexpr std::size_t kSkipChunkFrames = 1024;

}  // namespace

Mixer::Mixer(int outputRate) : mOutputRate(std::clamp(outputRate, kMinRate, kMaxRate)) {}

Mixer::~Mixer() = default;

std::unique_ptr<Voice> Mixer::CreateVoice(std::shared_ptr<SampleBuffer> samples) {
  if (!samples) throw std::invalid_argument("a voice needs sample data");
  PcmFormat format = samples->Format();
  std::unique_ptr<Voice> voice(new Voice(*this, std::move(samples), format, nullptr));
  AddVoice(voice.get());
  return voice;
}

std::unique_ptr<Voice> Mixer::CreateStreamVoice(PcmFormat format, StreamFill fill) {
  if (!format.IsValid() || !fill) throw std::invalid_argument("a stream voice needs a valid format and a source");
  std::unique_ptr<Voice> voice(new Voice(*this, nullptr, format, std::move(fill)));
  AddVoice(voice.get());
  return voice;
}

void Mixer::AddVoice(Voice* voice) {
  std::lock_guard lock(mMutex);
  mVoices.push_back(voice);
}

void Mixer::RemoveVoice(Voice* voice) {
  // The mixing lock first: a stream callback running unlocked may still be using this voice.
  std::lock_guard mixing(mMixMutex);
  std::lock_guard lock(mMutex);
  std::erase(mVoices, voice);
}

std::size_t Mixer::VoiceCount() const {
  std::lock_guard lock(mMutex);
  return mVoices.size();
}

std::size_t Mixer::PlayingVoiceCount() const {
  std::lock_guard lock(mMutex);
  return static_cast<std::size_t>(
      std::count_if(mVoices.begin(), mVoices.end(), [](const Voice* v) { return v->mPlaying; }));
}

void Mixer::SetMasterGain(float left, float right) {
  std::lock_guard lock(mMutex);
  mMasterLeft = static_cast<std::int32_t>(std::clamp(left, 0.0f, 1.0f) * 65536.0f + 0.5f);
  mMasterRight = static_cast<std::int32_t>(std::clamp(right, 0.0f, 1.0f) * 65536.0f + 0.5f);
}

std::uint64_t Mixer::StepLocked(const Voice& voice) const {
  return (static_cast<std::uint64_t>(voice.mFrequency) << 32) / static_cast<std::uint64_t>(mOutputRate);
}

void Mixer::TopUpStreams(std::size_t frames) {
  struct Request {
    Voice* voice;
    std::size_t bytes;
  };
  std::vector<Request> requests;
  {
    std::lock_guard lock(mMutex);
    for (Voice* voice : mVoices) {
      if (voice->mSamples || !voice->mPlaying || voice->mPaused || voice->mStreamEnded) continue;
      std::size_t frameBytes = voice->mFormat.FrameBytes();
      std::uint64_t needed = ((voice->mPosition + StepLocked(*voice) * frames) >> 32) + 2;
      std::uint64_t have = voice->mPending.size() / frameBytes;
      if (needed > have) requests.push_back({voice, static_cast<std::size_t>(needed - have) * frameBytes});
    }
  }
  // The callbacks run without the state lock so that they may decode at leisure and adjust voices.
  for (const Request& request : requests) {
    Voice& voice = *request.voice;
    std::size_t frameBytes = voice.mFormat.FrameBytes();
    std::size_t old = voice.mPending.size();
    voice.mPending.resize(old + request.bytes);
    std::size_t got = std::min(voice.mFill(voice.mPending.data() + old, request.bytes), request.bytes);
    got -= got % frameBytes;
    voice.mPending.resize(old + got);
    if (got < request.bytes) voice.mStreamEnded = true;
  }
}

void Mixer::DropConsumedStreamFrames(Voice& voice) {
  std::size_t frameBytes = voice.mFormat.FrameBytes();
  std::size_t consumed = std::min<std::size_t>(voice.mPosition >> 32, voice.mPending.size() / frameBytes);
  voice.mPending.erase(voice.mPending.begin(),
                       voice.mPending.begin() + static_cast<std::ptrdiff_t>(consumed * frameBytes));
  voice.mPosition -= static_cast<std::uint64_t>(consumed) << 32;
  voice.mStreamBase += consumed;
}

void Mixer::MixVoiceLocked(Voice& voice, std::int32_t* accumulator, std::size_t frames) {
  RenderJob job{};
  job.step = StepLocked(voice);
  job.gainLeft = voice.mGainLeft;
  job.gainRight = voice.mGainRight;
  if (voice.mSamples) {
    SampleBuffer& samples = *voice.mSamples;
    std::lock_guard read(samples.ReadMutex());
    if (!samples.ReadableLocked()) {
      // Someone is writing the data: the voice moves on unheard rather than playing torn samples.
      AdvanceVoiceLocked(voice, frames);
      return;
    }
    job.data = samples.Data();
    job.frames = samples.Frames();
    job.looping = voice.mLooping;
    job.loopStart = voice.LoopStartLocked(job.frames);
    job.loopEnd = voice.mLooping ? voice.LoopEndLocked(job.frames) : job.frames;
    if (RenderAny(voice.mFormat, job, voice.mPosition, accumulator, frames) == RenderEnd::ReachedEnd) {
      voice.mPlaying = false;
      voice.mPosition = 0;
    }
    return;
  }
  job.data = voice.mPending.data();
  job.frames = voice.mPending.size() / voice.mFormat.FrameBytes();
  job.looping = false;
  job.loopEnd = job.frames;
  // Out of data before the stream ended is an underrun: silence for the rest of the block.
  if (RenderAny(voice.mFormat, job, voice.mPosition, accumulator, frames) == RenderEnd::ReachedEnd &&
      voice.mStreamEnded) {
    voice.mPlaying = false;
  }
  DropConsumedStreamFrames(voice);
}

void Mixer::AdvanceVoiceLocked(Voice& voice, std::uint64_t frames) {
  std::size_t total = voice.mSamples->Frames();
  std::size_t loopStart = voice.LoopStartLocked(total);
  std::size_t end = voice.mLooping ? voice.LoopEndLocked(total) : total;
  // Large skips are done in pieces so that the fixed-point product cannot overflow.
  constexpr std::uint64_t kPiece = 1u << 24;
  while (frames > 0) {
    std::uint64_t piece = std::min(frames, kPiece);
    frames -= piece;
    voice.mPosition += StepLocked(voice) * piece;
    std::uint64_t index = voice.mPosition >> 32;
    if (index < end) continue;
    if (!voice.mLooping || end <= loopStart) {
      voice.mPlaying = false;
      voice.mPosition = 0;
      return;
    }
    index = loopStart + (index - loopStart) % (end - loopStart);
    voice.mPosition = (index << 32) | (voice.mPosition & 0xffffffffu);
  }
}

void Mixer::Mix(std::int16_t* stereoOut, std::size_t frames) {
  std::lock_guard mixing(mMixMutex);
  TopUpStreams(frames);
  std::lock_guard lock(mMutex);
  mAccumulator.assign(2 * frames, 0);
  for (Voice* voice : mVoices) {
    if (voice->mPlaying && !voice->mPaused) MixVoiceLocked(*voice, mAccumulator.data(), frames);
  }
  for (std::size_t i = 0; i < 2 * frames; ++i) {
    std::int64_t gain = (i & 1) ? mMasterRight : mMasterLeft;
    std::int64_t value = (static_cast<std::int64_t>(mAccumulator[i]) * gain) >> 16;
    stereoOut[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(value, -32768, 32767));
  }
}

void Mixer::Skip(std::uint64_t frames) {
  std::lock_guard mixing(mMixMutex);
  {
    std::lock_guard lock(mMutex);
    for (Voice* voice : mVoices) {
      if (voice->mSamples && voice->mPlaying && !voice->mPaused) AdvanceVoiceLocked(*voice, frames);
    }
  }
  // Streams must decode to move; at most a second of them is played through unheard per skip.
  std::uint64_t remaining = std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(mOutputRate));
  std::vector<std::int32_t> scratch(2 * kSkipChunkFrames);
  while (remaining > 0) {
    std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kSkipChunkFrames));
    remaining -= chunk;
    TopUpStreams(chunk);
    std::lock_guard lock(mMutex);
    for (Voice* voice : mVoices) {
      if (!voice->mSamples && voice->mPlaying && !voice->mPaused) MixVoiceLocked(*voice, scratch.data(), chunk);
    }
  }
}

}  // namespace plat::audio
