#include "platform/dsound/SoundBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/dsound/SoundDevice.h"

namespace plat::dsound {

namespace {

// Hundredths of a decibel of attenuation to a linear gain; the floor is silence.
float GainOf(LONG hundredthsDb) {
  if (hundredthsDb <= DSBVOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<audio::SampleBuffer> samples, DWORD flags)
    : mFlags(flags), mSamples(std::move(samples)), mVoice(audio::SharedMixer().CreateVoice(mSamples)) {}

SoundBuffer::SoundBuffer(SoundDevice& device, DWORD flags) : mDevice(&device), mFlags(flags) {
  device.AddRef();
  mPrimaryFormat = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
}

SoundBuffer::~SoundBuffer() {
  for (std::size_t i = 0; i < mOpenLocks.size(); ++i) mSamples->EndWrite();
  if (mDevice) mDevice->Release();
}

SoundBuffer* SoundBuffer::Duplicate() const {
  auto* copy = new SoundBuffer(mSamples, mFlags);
  std::lock_guard lock(mMutex);
  std::lock_guard copyLock(copy->mMutex);
  copy->mVolume = mVolume;
  copy->mPan = mPan;
  copy->mVoice->SetFrequency(mVoice->Frequency());
  copy->ApplyGainLocked();
  return copy;
}

HRESULT SoundBuffer::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IDirectSoundBuffer) {
    AddRef();
    *object = static_cast<IDirectSoundBuffer*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG SoundBuffer::AddRef() { return ++mRefs; }

ULONG SoundBuffer::Release() {
  ULONG left = --mRefs;
  if (left == 0) delete this;
  return left;
}

DWORD SoundBuffer::Size() const { return static_cast<DWORD>(mSamples->Bytes()); }

void SoundBuffer::ApplyGainLocked() {
  float gain = GainOf(mVolume);
  float left = gain * (mPan > 0 ? GainOf(-mPan) : 1.0f);
  float right = gain * (mPan < 0 ? GainOf(mPan) : 1.0f);
  mVoice->SetGain(left, right);
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) {
  if (HRESULT fault = DSoundFault(DSoundCall::GetFormat)) return fault;
  if (!format && !sizeWritten) return DSERR_INVALIDPARAM;
  WAVEFORMATEX mine{};
  if (IsPrimary()) {
    std::lock_guard lock(mMutex);
    mine = mPrimaryFormat;
  } else {
    const audio::PcmFormat& pcm = mSamples->Format();
    mine.wFormatTag = WAVE_FORMAT_PCM;
    mine.nChannels = static_cast<WORD>(pcm.channels);
    mine.nSamplesPerSec = static_cast<DWORD>(pcm.rate);
    mine.nBlockAlign = static_cast<WORD>(pcm.FrameBytes());
    mine.nAvgBytesPerSec = mine.nSamplesPerSec * mine.nBlockAlign;
    mine.wBitsPerSample = static_cast<WORD>(pcm.bits);
  }
  if (!format) {
    *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
  }
  DWORD copied = std::min<DWORD>(sizeAllocated, sizeof(WAVEFORMATEX));
  std::memcpy(format, &mine, copied);
  if (sizeWritten) *sizeWritten = copied;
  return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(LPDWORD frequency) {
  if (HRESULT fault = DSoundFault(DSoundCall::GetFrequency)) return fault;
  if (!frequency) return DSERR_INVALIDPARAM;
  if (IsPrimary() || !(mFlags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  *frequency = static_cast<DWORD>(mVoice->Frequency());
  return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status) {
  if (HRESULT fault = DSoundFault(DSoundCall::GetStatus)) return fault;
  if (!status) return DSERR_INVALIDPARAM;
  if (IsPrimary()) {
    *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
    return DS_OK;
  }
  audio::CatchUp();
  *status = 0;
  if (mVoice->IsPlaying()) *status = DSBSTATUS_PLAYING | (mVoice->IsLooping() ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                          DWORD) {
  if (HRESULT fault = DSoundFault(DSoundCall::Lock)) return fault;
  if (IsPrimary()) return DSERR_PRIOLEVELNEEDED;
  if (!audio1 || !bytes1) return DSERR_INVALIDPARAM;
  DWORD size = Size();
  if (bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
  OpenLock open{};
  open.first = mSamples->Data() + offset;
  open.firstBytes = std::min(bytes, size - offset);
  DWORD rest = bytes - open.firstBytes;
  if (rest > 0 && audio2) {
    open.second = mSamples->Data();
    open.secondBytes = rest;
  }
  mSamples->BeginWrite();
  {
    std::lock_guard lock(mMutex);
    mOpenLocks.push_back(open);
  }
  *audio1 = open.first;
  *bytes1 = open.firstBytes;
  if (audio2) *audio2 = open.second;
  if (bytes2) *bytes2 = open.secondBytes;
  return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) {
  if (HRESULT fault = DSoundFault(DSoundCall::Unlock)) return fault;
  if (IsPrimary()) return DSERR_PRIOLEVELNEEDED;
  std::lock_guard lock(mMutex);
  auto open = std::find_if(mOpenLocks.begin(), mOpenLocks.end(), [&](const OpenLock& l) { return l.first == audio1; });
  if (open == mOpenLocks.end() || bytes1 > open->firstBytes || (audio2 && audio2 != open->second) ||
      bytes2 > open->secondBytes) {
    return DSERR_INVALIDPARAM;
  }
  mOpenLocks.erase(open);
  mSamples->EndWrite();
  return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD, DWORD, DWORD flags) {
  if (HRESULT fault = DSoundFault(DSoundCall::Play)) return fault;
  if (IsPrimary()) return DS_OK;
  audio::CatchUp();
  mVoice->Play((flags & DSBPLAY_LOOPING) != 0);
  return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD position) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetCurrentPosition)) return fault;
  if (IsPrimary()) return DSERR_INVALIDCALL;
  if (position >= Size()) return DSERR_INVALIDPARAM;
  audio::CatchUp();
  mVoice->SetPosition(position / mSamples->Format().FrameBytes());
  return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetFormat)) return fault;
  if (!IsPrimary()) return DSERR_INVALIDCALL;
  if (!format) return DSERR_INVALIDPARAM;
  if (mDevice->CooperativeLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  audio::PcmFormat pcm{format->nChannels, static_cast<int>(std::min<DWORD>(format->nSamplesPerSec, 1u << 30)),
                       format->wBitsPerSample};
  if (format->wFormatTag != WAVE_FORMAT_PCM || !pcm.IsValid() || format->nBlockAlign != pcm.FrameBytes()) {
    return DSERR_BADFORMAT;
  }
  // The device keeps mixing at its own rate; the primary format is the program's wish, kept for GetFormat.
  std::lock_guard lock(mMutex);
  mPrimaryFormat = *format;
  mPrimaryFormat.nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
  mPrimaryFormat.cbSize = 0;
  return DS_OK;
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetVolume)) return fault;
  if (!(mFlags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  std::lock_guard lock(mMutex);
  mVolume = volume;
  if (!IsPrimary()) ApplyGainLocked();
  return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG pan) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetPan)) return fault;
  if (!(mFlags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  std::lock_guard lock(mMutex);
  mPan = pan;
  if (!IsPrimary()) ApplyGainLocked();
  return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD frequency) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetFrequency)) return fault;
  if (IsPrimary() || !(mFlags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (frequency == DSBFREQUENCY_ORIGINAL) frequency = static_cast<DWORD>(mSamples->Format().rate);
  if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  audio::CatchUp();
  mVoice->SetFrequency(static_cast<int>(frequency));
  return DS_OK;
}

HRESULT SoundBuffer::Stop() {
  if (HRESULT fault = DSoundFault(DSoundCall::Stop)) return fault;
  if (IsPrimary()) return DS_OK;
  audio::CatchUp();
  mVoice->Stop();
  return DS_OK;
}

}  // namespace plat::dsound
