#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/MMSystem.h"

namespace {

class WaveOutMixerTest : public testing::Test {
 protected:
  void TearDown() override {
    plat::SetMixerMissing(false);
    plat::SetWaveOutVolume(65535, 65535);
  }

  // Finds the wave-out volume control the way a program does; returns its id or 0.
  static DWORD FindVolumeControl(HMIXER mixer) {
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    if (mixerGetLineInfoA(object, &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) {
      return 0;
    }
    MIXERCONTROLA control{};
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(object, &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR) {
      return 0;
    }
    return control.dwControlID;
  }

  static MMRESULT Access(HMIXER mixer, DWORD control, DWORD& value, bool write) {
    MIXERCONTROLDETAILS_UNSIGNED detail{value};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control;
    details.cChannels = 1;
    details.cbDetails = sizeof detail;
    details.paDetails = &detail;
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    MMRESULT result = write ? mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER)
                            : mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER);
    value = detail.dwValue;
    return result;
  }
};

TEST_F(WaveOutMixerTest, WaveOutVolumeIsKeptAndAppliedToTheOutput) {
  HMIXER mixer = nullptr;
  ASSERT_EQ(mixerOpen(&mixer, 0, 0, 0, 0), MMSYSERR_NOERROR);
  DWORD control = FindVolumeControl(mixer);
  ASSERT_NE(control, 0u);
  DWORD value = 0;
  ASSERT_EQ(Access(mixer, control, value, false), MMSYSERR_NOERROR);
  EXPECT_EQ(value, 65535u);
  value = 32767;
  ASSERT_EQ(Access(mixer, control, value, true), MMSYSERR_NOERROR);
  value = 0;
  Access(mixer, control, value, false);
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
  EXPECT_EQ(FindVolumeControl(mixer), 0u);
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
