// The game application's settings, game state, music changes and program folder.
#include "game/play/GameApp.h"

#include <algorithm>

#include "framework/sound/MusicInterface.h"
#include "framework/util/PathUtil.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/process/Process.h"

namespace {

constexpr const char* kShowHelpValue = "ShowHelp";

// The five tracks, registered under their index.
constexpr const char* kMusicFiles[] = {"music/start.ogg", "music/level1.ogg", "music/level2.ogg", "music/level3.ogg",
                                       "music/end.ogg"};

}  // namespace

GameApp::GameApp() {
  mProdName = "Quarvel";
  mProductVersion = "1.0";
  mTitle = mProdName + " - " + mProductVersion;
  mRegKey = mProdName;
  mWidth = 800;
  mHeight = 600;
  mFullScreenBits = 16;
  mMusicVolume = 0.75;
  mSfxVolume = 0.85;
  mIsWindowed = true;
  // The play field's physics runs in the fractional update, which only smooth updates call.
  mVSyncUpdates = true;
  mAutoEnable3D = true;
}

GameApp* TheGame() { return static_cast<GameApp*>(Kit::gKitApp); }

void GameApp::SaveShowHelp() { RegistryWriteBoolean(kShowHelpValue, mShowHelp); }

void GameApp::AddScore(int points) { mScore = plat::ClampToInt(static_cast<long long>(mScore) + points); }

void GameApp::ReadShowHelp() {
  if (RegistryReadBoolean(kShowHelpValue, &mShowHelp)) return;
  mShowHelp = true;
  SaveShowHelp();
  RegistryReadBoolean(kShowHelpValue, &mShowHelp);
}

void GameApp::RegisterMusic() {
  if (!mMusicInterface) return;
  for (int track = 0; track < static_cast<int>(std::size(kMusicFiles)); ++track)
    mMusicInterface->LoadMusic(track, kMusicFiles[track]);
}

void GameApp::ChangeMusic(int track) {
  if (mMusicInterface) {
    mMusicInterface->FadeOut(mMusicTrack, true, kMusicFadePerTick);
    mMusicInterface->FadeIn(track, 0, kMusicFadePerTick, false);
  }
  mMusicTrack = track;
}

// Starts of one sound within one update begin together, in phase: a new life that sets the paddle
// back plays the paddle sound three times, eight balls hitting the border play its sound eight times.
// Summed, such copies add nothing to hear but loudness, past full scale into distortion, so the first
// plays and the rest are dropped.
void GameApp::PlaySample(int soundId) {
  if (mSoundsUpdate != mUpdateCount) {
    mSoundsUpdate = mUpdateCount;
    mSoundsStarted.clear();
  }
  if (std::find(mSoundsStarted.begin(), mSoundsStarted.end(), soundId) != mSoundsStarted.end()) return;
  mSoundsStarted.push_back(soundId);
  KitAppBase::PlaySample(soundId);
}

std::string GetProgramDirectory() {
  char path[261] = {};
  GetModuleFileName(nullptr, path, 260);
  return Kit::GetFileDir(path, true);
}
