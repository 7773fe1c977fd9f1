// Sound, music and shared images of the application.
#include "framework/app/KitAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/sound/BassMusicInterface.h"
#include "framework/sound/FModMusicInterface.h"
#include "framework/sound/MusicInterface.h"
#include "framework/sound/SoundInstance.h"
#include "framework/sound/SoundManager.h"
#include "framework/util/StringUtil.h"

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

std::shared_ptr<Image> KitAppBase::GetSharedImage(const std::string& fileName, const std::string& variant,
                                                  bool* created) {
  // File names are the system's: one file, whatever the letter case.
  const std::pair<std::string, std::string> key(StringToUpper(fileName), StringToUpper(variant));
  std::lock_guard<std::mutex> lock(mSharedImageLock);
  auto found = mSharedImageMap.find(key);
  if (found != mSharedImageMap.end()) {
    if (created != nullptr) *created = false;
    return found->second;
  }
  std::shared_ptr<Image> image;
  if (!fileName.empty() && fileName[0] == '!') {
    if (mDDInterface)
      image = std::make_shared<DDImage>(mDDInterface.get());
    else
      image = std::make_shared<MemoryImage>(this);
  } else {
    image = GetImage(fileName);
  }
  if (created != nullptr) *created = true;
  if (image) mSharedImageMap.emplace(key, image);
  return image;
}

void KitAppBase::CleanSharedImages() {
  std::lock_guard<std::mutex> lock(mSharedImageLock);
  for (auto it = mSharedImageMap.begin(); it != mSharedImageMap.end();) {
    if (it->second.use_count() == 1)
      it = mSharedImageMap.erase(it);
    else
      ++it;
  }
}

}  // namespace Kit
