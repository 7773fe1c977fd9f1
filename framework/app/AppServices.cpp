// Sound, music and shared images of the application.
#include "framework/app/KitAppBase.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/SharedImageSet.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/resource/ImageLoader.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/MusicInterface.h"
#include "framework/sound/SoundInstance.h"
#include "framework/sound/SoundManager.h"

namespace Kit {

MusicInterface* KitAppBase::CreateMusicInterface(HWND window) {
  if (mNoSoundNeeded) return new MusicInterface();
  if (mUseFMod) return new FModMusicInterface(window);
  return new BassMusicInterface(window);
}

void KitAppBase::PlaySample(int soundId) {
  if (!mSoundManager) return;
  SoundInstance* instance = mSoundManager->GetSoundInstance(static_cast<unsigned int>(soundId));
  if (instance != nullptr) instance->Play(false, true);
}

void KitAppBase::PlaySampleWithPan(int soundId, int pan) {
  if (!mSoundManager) return;
  SoundInstance* instance = mSoundManager->GetSoundInstance(static_cast<unsigned int>(soundId));
  if (instance == nullptr) return;
  instance->SetPan(pan);
  instance->Play(false, true);
}

double KitAppBase::GetMasterVolume() { return mSoundManager ? mSoundManager->GetMasterVolume() : 0.0; }

void KitAppBase::SetMasterVolume(double volume) {
  if (mSoundManager) mSoundManager->SetMasterVolume(volume);
}

void KitAppBase::SetMusicVolume(double volume) {
  mMusicVolume = volume;
  if (mMusicInterface) mMusicInterface->SetVolume(mMuteCount > 0 ? 0.0 : volume);
}

void KitAppBase::SetSfxVolume(double volume) {
  mSfxVolume = volume;
  if (mSoundManager) mSoundManager->SetVolume(mMuteCount > 0 ? 0.0 : volume);
}

void KitAppBase::ApplyVolumes() {
  SetMusicVolume(mMusicVolume);
  SetSfxVolume(mSfxVolume);
}

void KitAppBase::Mute(bool autoMute) {
  ++mMuteCount;
  if (autoMute) ++mAutoMuteCount;
  ApplyVolumes();
}

void KitAppBase::Unmute(bool autoMute) {
  if (mMuteCount > 0) {
    --mMuteCount;
    if (autoMute) --mAutoMuteCount;
  }
  ApplyVolumes();
}

SharedImageRef KitAppBase::GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) {
  return mSharedImageSet->GetSharedImage(fileName, variant, created);
}

void KitAppBase::CleanSharedImages() { mSharedImageSet->CleanSharedImages(); }

std::unique_ptr<MemoryImage> KitAppBase::GetImage(const std::string& fileName, bool commitBits) {
  std::unique_ptr<ImageLib::Image> decoded = ImageLib::GetImage(fileName, true);
  if (!decoded) return nullptr;
  // Made and filled under the display's lock: the loading thread makes images while the main thread may
  // rebuild the display's images.
  const ImageOperationGuard guard(ImagesLock(), ImageOperationGuard::kAlways);
  std::unique_ptr<MemoryImage> image;
  if (mDDInterface)
    image = std::make_unique<DDImage>(mDDInterface.get());
  else
    image = std::make_unique<MemoryImage>(this);
  image->SetBits(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), commitBits);
  return image;
}

}  // namespace Kit
