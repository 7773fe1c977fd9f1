#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "platform/dsound/DSoundFaults.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"
#include "tests/sound/SoundTestSupport.h"

namespace soundtest {
namespace {

class DSoundInstanceTest : public SoundTest {
 protected:
  // A sound of samples 1000, or with `ramp` of samples 0, 1, 2, ...
  Kit::DSoundInstance* Instance(int rate, int frames = 4410, bool ramp = false) {
    std::string name = "tone" + std::to_string(rate);
    dir.Write(name + ".wav", ramp ? MonoWav(rate, frames, 0, 1) : MonoWav(rate, frames, 1000));
    EXPECT_TRUE(manager.LoadSound(1, name));
    return static_cast<Kit::DSoundInstance*>(manager.GetSoundInstance(1));
  }
  static DWORD Frequency(Kit::DSoundInstance* instance) {
    DWORD frequency = 0;
    instance->GetSoundBuffer()->GetFrequency(&frequency);
    return frequency;
  }

  InspectableDSoundManager manager{FakeWindow(), false};
};

TEST_F(DSoundInstanceTest, PitchIsSetFromTheSoundsOwnRateAndClamped) {
  Kit::DSoundInstance* instance = Instance(44100);
  instance->AdjustPitch(7);
  EXPECT_EQ(Frequency(instance), 66075u);
  instance->AdjustPitch(40);
  EXPECT_EQ(Frequency(instance), 100000u);
  instance->AdjustPitch(0);
  EXPECT_EQ(Frequency(instance), 44100u);
  Kit::DSoundInstance* low = Instance(22050);
  low->AdjustPitch(-100);
  EXPECT_EQ(Frequency(low), 100u);
}

TEST_F(DSoundInstanceTest, VolumeMultipliesManagerInstanceAndBaseAndPanAdds) {
  Kit::DSoundInstance* instance = Instance(44100);
  manager.SetVolume(0.5);
  instance->SetVolume(0.5);
  EXPECT_EQ(instance->GetVolume(), 0.5);
  instance->SetBasePan(2000);
  instance->SetPan(3000);
  instance->Play(true, false);
  // A quarter is -11.38 dB (1000 heard as 269); the left side is 50 dB below that.
  EXPECT_EQ(Heard(), std::pair(0, 269));
}

TEST_F(DSoundInstanceTest, APanBeyondTheRangeIsRefusedHoweverLargeTheResourceFilesBasePan) {
  Kit::DSoundInstance* instance = Instance(44100);
  manager.SetVolume(0.5);
  instance->SetVolume(0.5);
  instance->SetBasePan(std::numeric_limits<int>::max());
  instance->SetPan(3000);
  instance->Play(true, false);
  EXPECT_EQ(Heard(), std::pair(269, 269)) << "the centre kept";
  instance->SetBasePan(std::numeric_limits<int>::min());
  instance->SetPan(-3000);
  EXPECT_EQ(Heard(), std::pair(269, 269));
}

TEST_F(DSoundInstanceTest, StopClearsAutoReleaseAndEveryPlayStartsAtTheBeginning) {
  Kit::DSoundInstance* instance = Instance(44100, 30000, true);
  instance->Play(false, true);
  clock.AdvanceMillis(500);
  instance->Stop();
  clock.AdvanceMillis(2000);
  EXPECT_FALSE(instance->IsReleased());
  instance->Play(true, false);
  EXPECT_EQ(Heard().first, 0);
  clock.AdvanceMillis(100);
  EXPECT_EQ(Heard().first, 4411);  // 100 ms after the first frame
  instance->Release();
  EXPECT_TRUE(instance->IsReleased());
  EXPECT_FALSE(instance->IsPlaying());
}

TEST_F(DSoundInstanceTest, FailedPlayIsReported) {
  Kit::DSoundInstance* instance = Instance(44100);
  plat::SetDSoundFault(plat::DSoundCall::Play, DSERR_BUFFERLOST);
  EXPECT_FALSE(instance->Play(false, false));
}

TEST_F(DSoundInstanceTest, FailedDuplicateShowsTheErrorNameAndExits) {
  dir.Write("beep.wav", WavFile(1, 22050, 16, Pcm16({1, 2, 3, 4})));
  ASSERT_TRUE(manager.LoadSound(2, "beep"));
  plat::SetDSoundFault(plat::DSoundCall::DuplicateSoundBuffer, DSERR_UNINITIALIZED);
  const plat::ShownMessageBox box = FatalEnd([&] { manager.GetSoundInstance(2); });
  EXPECT_EQ(box.text, "DSERR_UNINITIALIZED");
  EXPECT_EQ(box.caption, "Hey");
  EXPECT_EQ(box.type, MB_OK);
  // An unnamed failure ends the program without a word.
  plat::SetDSoundFault(plat::DSoundCall::DuplicateSoundBuffer, DSERR_GENERIC);
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  try {
    manager.GetSoundInstance(2);
    ADD_FAILURE() << "the program went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, static_cast<UINT>(EXIT_FAILURE));
  }
  EXPECT_TRUE(boxes.Shown().empty());
}

}  // namespace
}  // namespace soundtest
