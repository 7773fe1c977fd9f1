#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/sound/WaveOutVolume.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/MMSystem.h"

namespace {

class WaveOutMixerTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::SetMixerMissing(false);
    plat::SetWaveOutVolume(65535, 65535);
  }
};

TEST_F(WaveOutMixerTest, WaveOutVolumeIsKeptAndAppliedToTheOutput) {
  HMIXER mixer = nullptr;
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  auto control = Kit::FindWaveOutVolumeControl(mixer);
  ASSERT_TRUE(control);
  DWORD value = 0;
  ASSERT_EQ(Kit::GetVolumeControlValue(mixer, *control, value), MMSYSERR_NOERROR);
  EXPECT_EQ(value, 65535u);
  ASSERT_EQ(Kit::SetVolumeControlValue(mixer, *control, 32767), MMSYSERR_NOERROR);
  value = 0;
  Kit::GetVolumeControlValue(mixer, *control, value);
  EXPECT_EQ(value, 32767u);
  EXPECT_EQ(mixerClose(mixer), MMSYSERR_NOERROR);

  auto buffer = std::make_shared<plat::audio::SampleBuffer>(plat::audio::PcmFormat{1, 44100, 16}, 2);
  std::int16_t sample = 20000;
  std::memcpy(buffer->Data(), &sample, 2);
  auto voice = plat::audio::SharedMixer().CreateVoice(buffer);
  voice->Play(false);
  std::vector<std::int16_t> out(2);
  plat::audio::SharedMixer().Mix(out.data(), 1);
  EXPECT_NEAR(out[0], 10000, 1);
}

TEST_F(WaveOutMixerTest, MissingDeviceAndBadHandlesFail) {
  HMIXER mixer = nullptr;
  EXPECT_EQ(mixerOpen(&mixer, 1, 0, 0, 0), MMSYSERR_BADDEVICEID);
  plat::SetMixerMissing(true);
  EXPECT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_BADDEVICEID);
  plat::SetMixerMissing(false);
  EXPECT_EQ(mixerClose(reinterpret_cast<HMIXER>(&mixer)), MMSYSERR_INVALHANDLE);
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  mixerClose(mixer);
  // A closed handle reaches nothing.
  EXPECT_FALSE(Kit::FindWaveOutVolumeControl(mixer));
  MIXERLINEA line{};
  line.cbStruct = sizeof line;
  line.dwComponentType = 0x2000;
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE),
            MIXERR_INVALLINE);
  mixerClose(mixer);
}

}  // namespace
