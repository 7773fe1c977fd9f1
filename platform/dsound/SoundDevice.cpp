#include "platform/dsound/SoundDevice.h"

#include <new>

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/dsound/DSoundModule.h"
#include "platform/dsound/SoundBuffer.h"
#include "platform/win/modules/Modules.h"

const IID IID_IDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const IID IID_IDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

namespace plat::dsound {

HRESULT SoundDevice::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IDirectSound) {
    AddRef();
    *object = static_cast<IDirectSound*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG SoundDevice::AddRef() { return ++mRefs; }

ULONG SoundDevice::Release() {
  ULONG left = --mRefs;
  if (left == 0) delete this;
  return left;
}

HRESULT SoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
  if (HRESULT fault = DSoundFault(DSoundCall::CreateSoundBuffer)) return fault;
  if (outer) return DSERR_NOAGGREGATION;
  if (!desc || !buffer) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  if (desc->dwSize != kDSBufferDescLegacySize && desc->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
  if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    *buffer = new SoundBuffer(*this, desc->dwFlags);
    return DS_OK;
  }
  const WAVEFORMATEX* format = desc->lpwfxFormat;
  if (!format) return DSERR_INVALIDPARAM;
  if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  audio::PcmFormat pcm{format->nChannels, static_cast<int>(std::min<DWORD>(format->nSamplesPerSec, 1u << 30)),
                       format->wBitsPerSample};
  if (format->wFormatTag != WAVE_FORMAT_PCM || !pcm.IsValid()) return DSERR_BADFORMAT;
  if (format->nBlockAlign != pcm.FrameBytes()) return DSERR_INVALIDPARAM;
  try {
    auto samples = std::make_shared<audio::SampleBuffer>(pcm, desc->dwBufferBytes);
    *buffer = new SoundBuffer(std::move(samples), desc->dwFlags);
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
  return DS_OK;
}

HRESULT SoundDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) {
  if (HRESULT fault = DSoundFault(DSoundCall::DuplicateSoundBuffer)) return fault;
  if (!original || !duplicate) return DSERR_INVALIDPARAM;
  *duplicate = nullptr;
  auto* source = dynamic_cast<SoundBuffer*>(original);
  if (!source || source->IsPrimary()) return DSERR_INVALIDCALL;
  try {
    *duplicate = source->Duplicate();
  } catch (const std::bad_alloc&) {
    return DSERR_OUTOFMEMORY;
  }
  return DS_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND window, DWORD level) {
  if (HRESULT fault = DSoundFault(DSoundCall::SetCooperativeLevel)) return fault;
  if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  mLevel = level;
  return DS_OK;
}

}  // namespace plat::dsound

HRESULT DirectSoundCreate(LPGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
  if (HRESULT fault = plat::DSoundFault(plat::DSoundCall::Create)) return fault;
  if (!directSound) return DSERR_INVALIDPARAM;
  *directSound = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  // The layer has one output: the default device. Any other device id names nothing.
  if (device) return DSERR_NODRIVER;
  plat::audio::StartOutput();
  *directSound = new plat::dsound::SoundDevice();
  return DS_OK;
}

namespace plat {

void RegisterDSoundModule() { RegisterModule("dsound.dll", {{"DirectSoundCreate", ExportOf(&DirectSoundCreate)}}); }

}  // namespace plat
