// A DirectSound buffer of the layer. A secondary buffer is a mixer voice over shared sample data
// (duplicates share the data and keep it alive after the original is released); the primary buffer
// only records the format the program asks the device for.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/Mixer.h"
#include "platform/dsound/DSound.h"

namespace plat::dsound {

class SoundDevice;

class SoundBuffer final : public IDirectSoundBuffer {
 public:
  // A secondary buffer playing `samples`; `flags` are the creation flags.
  SoundBuffer(std::shared_ptr<audio::SampleBuffer> samples, DWORD flags);
  // The primary buffer of `device` (which it keeps a reference on).
  explicit SoundBuffer(SoundDevice& device, DWORD flags);

  // A new buffer over the same samples with this one's flags, volume, pan and frequency, stopped at 0.
  SoundBuffer* Duplicate() const;
  bool IsPrimary() const { return mDevice != nullptr; }

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT GetFrequency(LPDWORD frequency) override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
               DWORD flags) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT SetCurrentPosition(DWORD position) override;
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetPan(LONG pan) override;
  HRESULT SetFrequency(DWORD frequency) override;
  HRESULT Stop() override;
  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override;

 private:
  ~SoundBuffer() override;

  struct OpenLock {
    void* first;
    DWORD firstBytes;
    void* second;
    DWORD secondBytes;
  };

  void ApplyGainLocked();
  DWORD Size() const;

  std::atomic<ULONG> mRefs{1};
  SoundDevice* mDevice = nullptr;  // set for the primary buffer only
  const DWORD mFlags;
  const std::shared_ptr<audio::SampleBuffer> mSamples;
  const std::unique_ptr<audio::Voice> mVoice;

  mutable std::mutex mMutex;
  LONG mVolume = DSBVOLUME_MAX;
  LONG mPan = DSBPAN_CENTER;
  WAVEFORMATEX mPrimaryFormat{};
  std::vector<OpenLock> mOpenLocks;
};

}  // namespace plat::dsound
