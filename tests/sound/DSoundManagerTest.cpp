#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/sound/DSoundVolume.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/MMSystem.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/win/modules/Modules.h"
#include "tests/sound/SoundTestSupport.h"

namespace soundtest {
namespace {

using Kit::DSoundVolumeFromLinear;

TEST(DSoundVolume, FollowsTheLogCurveAndCutsOffBelowMinus2000) {
  // Outside the range: silence below, full above, never an invalid DirectSound volume.
  const std::pair<double, int> cases[] = {{1.0, 0},        {0.5, -605},   {0.25, -1138},  {0.044, -1994},
                                          {0.043, -10000}, {0.0, -10000}, {-0.5, -10000}, {2.0, 0}};
  for (const auto& [linear, volume] : cases) EXPECT_EQ(DSoundVolumeFromLinear(linear), volume) << linear;
}

class DSoundManagerTest : public SoundTest {
 protected:
  // Loads a sound of `frames` samples of 500 under the id.
  bool LoadBeep(InspectableDSoundManager& manager, unsigned int id, int frames = 4410) {
    const std::string name = "beep" + std::to_string(frames);
    dir.Write(name + ".wav", MonoWav(44100, frames, 500));
    return manager.LoadSound(id, name);
  }
};

TEST_F(DSoundManagerTest, ActiveManagerHasAPrimaryBufferInTheStandardFormat) {
  InspectableDSoundManager manager(FakeWindow(), false);
  EXPECT_TRUE(manager.Initialized());
  ASSERT_NE(manager.Primary(), nullptr);
  WAVEFORMATEX format{};
  manager.Primary()->GetFormat(&format, sizeof format, nullptr);
  EXPECT_EQ(format.nSamplesPerSec, 44100u);
  EXPECT_EQ(format.nChannels, 2);
  EXPECT_EQ(format.wBitsPerSample, 16);
}

TEST_F(DSoundManagerTest, FailedPriorityLevelLeavesNoPrimaryButSoundStillWorks) {
  plat::SetDSoundFault(plat::DSoundCall::SetCooperativeLevel, DSERR_ALLOCATED);
  InspectableDSoundManager manager(FakeWindow(), false);
  EXPECT_TRUE(manager.Initialized());
  EXPECT_EQ(manager.Primary(), nullptr);
  EXPECT_TRUE(LoadBeep(manager, 0));
  auto* instance = manager.GetSoundInstance(0);
  ASSERT_NE(instance, nullptr);
  EXPECT_TRUE(instance->Play(false, false));
}

TEST_F(DSoundManagerTest, WithoutWindowOrDirectSoundTheManagerIsSilentButAcceptsEverything) {
  plat::SetDSoundFault(plat::DSoundCall::Create, DSERR_NODRIVER);
  InspectableDSoundManager failed(FakeWindow(), false);
  EXPECT_FALSE(failed.Initialized());
  plat::ResetDSoundFaults();

  plat::SetExportMissing("dsound.dll", "DirectSoundCreate", true);
  InspectableDSoundManager missing(FakeWindow(), false);
  EXPECT_FALSE(missing.Initialized());
  plat::ResetModuleFaults();

  InspectableDSoundManager silent(nullptr, false);
  EXPECT_FALSE(silent.Initialized());
  EXPECT_TRUE(silent.LoadSound(4, "nothing-here"));
  EXPECT_EQ(silent.Source(4), nullptr);
  Kit::SoundInstance* instance = silent.GetSoundInstance(4);
  ASSERT_NE(instance, nullptr);
  EXPECT_FALSE(instance->Play(false, true));
  EXPECT_FALSE(instance->IsPlaying());
  EXPECT_TRUE(instance->IsReleased());
}

TEST_F(DSoundManagerTest, ThirtyThreeQuickPlaysGetThirtyTwoChannelsAndAFinishedOneFreesItsAtTheNextRequest) {
  InspectableDSoundManager manager(FakeWindow(), false);
  ASSERT_TRUE(LoadBeep(manager, 7, 441));  // 10 ms
  for (int i = 0; i < 32; ++i) {
    Kit::SoundInstance* instance = manager.GetSoundInstance(7);
    ASSERT_NE(instance, nullptr) << i;
    instance->Play(false, true);
  }
  EXPECT_EQ(manager.GetSoundInstance(7), nullptr);
  EXPECT_EQ(manager.BusyChannels(), 32);
  clock.AdvanceMillis(20);  // within the same second as the plays
  EXPECT_NE(manager.GetSoundInstance(7), nullptr);
}

TEST_F(DSoundManagerTest, InstancesGetTheIdsBaseVolumeAndPanOnlyWhenMade) {
  InspectableDSoundManager manager(FakeWindow(), false);
  ASSERT_TRUE(LoadBeep(manager, 9));
  EXPECT_FALSE(manager.SetBaseVolume(256, 0.5));
  EXPECT_FALSE(manager.SetBasePan(256, 100));
  EXPECT_EQ(manager.GetSoundInstance(256), nullptr);
  EXPECT_TRUE(manager.SetBaseVolume(255, 0.5));
  Kit::SoundInstance* before = manager.GetSoundInstance(9);
  ASSERT_TRUE(manager.SetBaseVolume(9, 0.5));
  ASSERT_TRUE(manager.SetBasePan(9, -2500));
  Kit::SoundInstance* after = manager.GetSoundInstance(9);
  before->Play(true, false);
  EXPECT_EQ(Heard(), std::pair(500, 500));
  before->Stop();
  after->Play(true, false);
  EXPECT_EQ(Heard(), std::pair(249, 14));  // -6.05 dB, the right side 25 dB below that
}

TEST_F(DSoundManagerTest, ManagerVolumeReachesEveryPlayingInstanceAtOnce) {
  InspectableDSoundManager manager(FakeWindow(), false);
  ASSERT_TRUE(LoadBeep(manager, 0));
  for (int i = 0; i < 3; ++i) manager.GetSoundInstance(0)->Play(true, false);
  EXPECT_EQ(Heard().first, 1500);
  manager.SetVolume(0.0);
  EXPECT_EQ(Heard().first, 0);
  manager.SetVolume(1.0);
  EXPECT_EQ(Heard().first, 1500);
}

TEST_F(DSoundManagerTest, StopAllSoundsKeepsAutoReleaseSoTheSweepReclaims) {
  InspectableDSoundManager manager(FakeWindow(), false);
  ASSERT_TRUE(LoadBeep(manager, 0, 44100));
  Kit::SoundInstance* kept = manager.GetSoundInstance(0);
  kept->Play(true, false);
  Kit::SoundInstance* once = manager.GetSoundInstance(0);
  once->Play(false, true);
  manager.StopAllSounds();
  EXPECT_FALSE(once->IsPlaying());
  EXPECT_FALSE(kept->IsPlaying());
  clock.AdvanceMillis(1001);
  manager.GetSoundInstance(0);  // runs the sweep
  // The auto-release instance went; the looping one that was only stopped keeps its channel.
  EXPECT_EQ(manager.BusyChannels(), 2);
}

TEST_F(DSoundManagerTest, ALoopingSoundPlaysOnWhenTheApplicationGetsTheFocusBack) {
  Kit::KitAppBase app;
  auto owned = std::make_unique<InspectableDSoundManager>(FakeWindow(), false);
  InspectableDSoundManager& manager = *owned;
  app.mSoundManager = std::move(owned);
  app.mMuteOnLostFocus = true;
  ASSERT_TRUE(LoadBeep(manager, 0));
  Kit::SoundInstance* hum = manager.GetSoundInstance(0);
  hum->Play(true, false);
  app.mActive = false;
  app.RehupFocus();
  EXPECT_TRUE(app.IsMuted());
  app.mActive = true;
  app.RehupFocus();
  EXPECT_FALSE(app.IsMuted());
  EXPECT_TRUE(hum->IsPlaying());
}

TEST_F(DSoundManagerTest, ReleaseSoundEmptiesTheIdButKeepsItsDefaults) {
  InspectableDSoundManager manager(FakeWindow(), false);
  ASSERT_TRUE(LoadBeep(manager, 3));
  manager.SetBaseVolume(3, 0.5);
  Kit::SoundInstance* playing = manager.GetSoundInstance(3);
  playing->Play(false, false);
  manager.ReleaseSound(3);
  EXPECT_EQ(manager.Source(3), nullptr);
  EXPECT_EQ(manager.Name(3), "");
  EXPECT_EQ(manager.GetSoundInstance(3), nullptr);
  EXPECT_TRUE(playing->IsPlaying());  // an instance keeps the samples it shares
  ASSERT_TRUE(LoadBeep(manager, 3));
  playing->Stop();
  manager.GetSoundInstance(3)->Play(true, false);
  EXPECT_EQ(Heard().first, 249);  // at the base volume of a half
  manager.ReleaseSound(999);      // out of range: nothing happens
}

TEST_F(DSoundManagerTest, MasterVolumeIsTheWaveOutVolume) {
  InspectableDSoundManager manager(FakeWindow(), false);
  manager.SetMasterVolume(0.5);
  EXPECT_EQ(plat::WaveOutVolumeLeft(), 32767u);
  EXPECT_NEAR(manager.GetMasterVolume(), 32767 / 65535.0, 1e-9);
  manager.SetMasterVolume(-1.0);
  EXPECT_EQ(plat::WaveOutVolumeLeft(), 0u);
  plat::SetMixerMissing(true);
  EXPECT_EQ(manager.GetMasterVolume(), 0.0);
  plat::SetMixerMissing(false);
  manager.SetMasterVolume(1.0);
  EXPECT_EQ(manager.GetMasterVolume(), 1.0);
}

}  // namespace
}  // namespace soundtest

namespace soundtest {
namespace {

TEST_F(DSoundManagerTest, LoadingThreadLoadsWhileTheMainThreadPlaysAndTheAudioThreadMixes) {
  InspectableDSoundManager manager(FakeWindow(), false);
  for (unsigned int id = 0; id < 8; ++id) ASSERT_TRUE(LoadBeep(manager, id, 2000));
  dir.Write("late.ogg", ReadTestData("sound/tone_mono_22050.ogg"));

  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<std::int16_t> out(2 * 256);
    while (!done) plat::audio::SharedMixer().Mix(out.data(), 256);
  });
  std::atomic<int> loaded{0};
  std::thread loading([&] {
    for (unsigned int id = 100; id < 116; ++id) loaded += manager.LoadSound(id, "late") ? 1 : 0;
  });
  for (int i = 0; i < 400; ++i) {
    if (Kit::SoundInstance* instance = manager.GetSoundInstance(static_cast<unsigned int>(i % 8))) {
      instance->SetPan(i * 10 - 2000);
      instance->Play(false, true);
    }
    clock.AdvanceMillis(5);
  }
  loading.join();
  done = true;
  audio.join();
  EXPECT_EQ(loaded, 16);
  EXPECT_NE(manager.GetSoundInstance(115), nullptr);
}

}  // namespace
}  // namespace soundtest
