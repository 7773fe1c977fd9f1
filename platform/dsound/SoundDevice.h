// The DirectSound device object of the layer: creates and duplicates buffers and keeps the
// cooperative level. Its sound goes to the shared mixer.
#pragma once

#include <atomic>

#include "platform/dsound/DSound.h"

namespace plat::dsound {

class SoundDevice final : public IDirectSound {
 public:
  SoundDevice() = default;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;
  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

  // 0 until SetCooperativeLevel succeeded.
  DWORD CooperativeLevel() const { return mLevel.load(); }

 private:
  ~SoundDevice() override = default;

  std::atomic<ULONG> mRefs{1};
  std::atomic<DWORD> mLevel{0};
};

}  // namespace plat::dsound
