#include "platform/bass/BassStream.h"

#include "platform/audio/AudioOutput.h"

namespace plat::bass {

namespace {

std::function<bool(StreamDecoder&)> ToFrame(std::uint64_t frame) {
  return [frame](StreamDecoder& decoder) { return decoder.Seek(frame); };
}

std::function<bool(StreamDecoder&)> ToOrder(int order) {
  return [order](StreamDecoder& decoder) { return decoder.SeekOrder(order); };
}

}  // namespace

std::size_t BassStream::Source::Fill(std::uint8_t* dest, std::size_t bytes) {
  std::lock_guard lock(mutex);
  std::size_t done = decoder->Read(dest, bytes);
  // A looping stream runs straight on into its start within the same block: no gap at the join.
  while (done < bytes && looping) {
    if (!decoder->Restart()) break;
    std::size_t more = decoder->Read(dest + done, bytes - done);
    if (more == 0) break;  // nothing decodes from the start either
    done += more;
  }
  if (done < bytes) ended = true;
  return done;
}

BassStream::BassStream(std::unique_ptr<StreamDecoder> decoder)
    : mFormat(decoder->Format()), mSource(std::make_shared<Source>()), mFrequency(mFormat.rate) {
  mSource->decoder = std::move(decoder);
}

// The voice goes first: it may be mixing from the source right now.
BassStream::~BassStream() { mVoice.reset(); }

void BassStream::MakeVoice() {
  std::shared_ptr<Source> source = mSource;
  mVoice = audio::SharedMixer().CreateStreamVoice(
      mFormat, [source](std::uint8_t* dest, std::size_t bytes) { return source->Fill(dest, bytes); });
  mVoice->SetGain(mGainLeft, mGainRight);
  mVoice->SetFrequency(mFrequency);
  ApplyPause();
}

bool BassStream::Rewind(const std::function<bool(StreamDecoder&)>& move) {
  {
    std::lock_guard lock(mSource->mutex);
    if (!move(*mSource->decoder)) return false;
    mSource->ended = false;
  }
  // Never under the source's lock: dropping a voice waits for a mix that may be filling from it.
  mVoice.reset();
  MakeVoice();
  return true;
}

void BassStream::Play(bool fromStart, bool looping) {
  bool playedOut = false;
  if (mVoice && !mVoice->IsPlaying()) {
    std::lock_guard lock(mSource->mutex);
    playedOut = mSource->ended;
  }
  if (!mVoice && !fromStart) {
    MakeVoice();
  } else if (!mVoice || fromStart || playedOut) {
    if (!Rewind(ToFrame(0))) return;
  }
  Start(looping);
}

bool BassStream::PlayFromOrder(int order, bool looping) {
  if (!Rewind(ToOrder(order))) return false;
  Start(looping);
  return true;
}

void BassStream::Start(bool looping) {
  SetLooping(looping);
  mPaused = false;
  ApplyPause();
  mVoice->Play(false);
}

void BassStream::Stop() {
  if (mVoice) mVoice->Stop();
  mPaused = false;
  if (mVoice) ApplyPause();
}

void BassStream::Pause() {
  if (!IsPlaying()) return;
  mPaused = true;
  ApplyPause();
}

void BassStream::Resume() {
  if (!mPaused) return;
  mPaused = false;
  ApplyPause();
}

bool BassStream::SetPosition(std::uint64_t frame) { return MoveTo(ToFrame(frame)); }

bool BassStream::SetOrder(int order) { return MoveTo(ToOrder(order)); }

bool BassStream::MoveTo(const std::function<bool(StreamDecoder&)>& move) {
  bool wasPlaying = IsPlaying();
  if (!Rewind(move)) return false;
  if (wasPlaying) mVoice->Play(false);
  return true;
}

bool BassStream::IsPlaying() const { return mVoice && mVoice->IsPlaying(); }

bool BassStream::IsLooping() const {
  std::lock_guard lock(mSource->mutex);
  return mSource->looping;
}

void BassStream::SetLooping(bool looping) {
  std::lock_guard lock(mSource->mutex);
  mSource->looping = looping;
}

void BassStream::SetOutputRunning(bool running) {
  mOutputRunning = running;
  if (mVoice) ApplyPause();
}

void BassStream::SetGain(float left, float right) {
  mGainLeft = left;
  mGainRight = right;
  if (mVoice) mVoice->SetGain(left, right);
}

void BassStream::SetFrequency(int rate) {
  mFrequency = rate;
  if (mVoice) mVoice->SetFrequency(rate);
}

void BassStream::ApplyPause() { mVoice->SetPaused(mPaused || !mOutputRunning); }

}  // namespace plat::bass
