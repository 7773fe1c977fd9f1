#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/sound/MusicInterface.h"

namespace {

// The music player's side: every volume the application sets.
class VolumeLog : public Kit::MusicInterface {
 public:
  explicit VolumeLog(std::vector<double>* log) : mLog(log) {}
  void SetVolume(double volume) override { mLog->push_back(volume); }

 private:
  std::vector<double>* mLog;
};

class Volumes : public testing::Test {
 protected:
  Volumes() { mApp.mMusicInterface = std::make_unique<VolumeLog>(&mSet); }
  std::vector<double> mSet;
  Kit::KitAppBase mApp;
};

TEST_F(Volumes, MutingKeepsTheUsersChoiceAndPlaysSilence) {
  mApp.SetMusicVolume(0.6);
  mApp.Mute(false);
  EXPECT_TRUE(mApp.IsMuted());
  mApp.SetMusicVolume(0.5);
  EXPECT_DOUBLE_EQ(mApp.GetMusicVolume(), 0.5);
  EXPECT_DOUBLE_EQ(mSet.back(), 0.0);
  mApp.Unmute(false);
  EXPECT_FALSE(mApp.IsMuted());
  EXPECT_DOUBLE_EQ(mSet.back(), 0.5);
}

TEST_F(Volumes, AnAutomaticMuteUndoneByTheUserLeavesItsCount) {
  mApp.Mute(true);
  mApp.Unmute(false);
  EXPECT_FALSE(mApp.IsMuted());
  EXPECT_EQ(mApp.mAutoMuteCount, 1);
  EXPECT_EQ(mApp.mMuteCount, 0);
}

TEST_F(Volumes, UnmutingWhenNotMutedOnlyReappliesTheVolumes) {
  mApp.SetMusicVolume(0.3);
  mSet.clear();
  mApp.Unmute(true);
  EXPECT_EQ(mApp.mMuteCount, 0);
  EXPECT_EQ(mApp.mAutoMuteCount, 0);
  EXPECT_EQ(mSet, (std::vector<double>{0.3}));
}

TEST_F(Volumes, WithoutSoundNothingFailsAndTheValuesAreKept) {
  Kit::KitAppBase silent;
  silent.SetSfxVolume(0.4);
  silent.SetMusicVolume(0.2);
  silent.Mute(false);
  silent.PlaySample(3);
  silent.PlaySampleWithPan(3, -100);
  EXPECT_DOUBLE_EQ(silent.GetSfxVolume(), 0.4);
  EXPECT_DOUBLE_EQ(silent.GetMusicVolume(), 0.2);
}

}  // namespace
