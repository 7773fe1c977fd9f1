// The BASS music player on the layer's "bass.dll": what the player hears, tick by tick.
#include "framework/sound/BassMusicInterface.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/sound/BassLibrary.h"
#include "platform/audio/MMSystem.h"
#include "platform/bass/Bass.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/Process.h"
#include "tests/support/AudioFixture.h"
#include "tests/support/TrackerModule.h"

namespace musictest {
namespace {

using namespace testsupport;

class InspectableBassMusic : public Kit::BassMusicInterface {
 public:
  using BassMusicInterface::BassMusicInterface;
  const Kit::BassMusicInfo& Song(int id) const { return mMusicMap.at(id); }
  bool Has(int id) const { return mMusicMap.count(id) > 0; }
};

constexpr double kGameFade = 0.002;

class BassMusicTest : public AudioTest {
 protected:
  BassMusicTest() {
    dir.Write("music/a.wav", MonoWav(44100, 44100, 10000));
    dir.Write("music/b.wav", MonoWav(44100, 44100, 20000));
    dir.Write("music/ramp.wav", MonoWav(44100, 1000, 10, 10));
    dir.Write("music/song.mod", SquareWaveMod({64, 32, 16}));
  }

  // A module through the player: the offset is a pattern order, -1 where it is; fades, the player's
  // volume and the amplification scale it; played once it ends.
  void PlayModule() {
    constexpr std::size_t kPattern = kModPatternFrames;
    ASSERT_TRUE(Music().LoadMusic(5, "music/song.mod"));
    EXPECT_NE(Music().Song(5).mHMusic, 0u);
    EXPECT_EQ(Music().Song(5).mHStream, 0u);
    int first = PlayModuleOrdersOnce(Music(), 5);

    Music().StopMusic(5);  // down to silence, to fade in from there
    Music().FadeIn(5, 1, 0.25, false);
    Ticks(1);
    EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first / 8, first / 40);  // order 1 at a quarter
    Music().SetSongVolume(5, 1.0);
    Music().SetMusicAmplify(5, 0.5);
    Music().StopMusic(5);
    Music().FadeIn(5, -1, 0.5, false);  // on from where it stopped, from silence
    Ticks(2);
    EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first / 4, first / 20);  // the rest of order 1, at half
    EXPECT_TRUE(Music().IsPlaying(5));
    Music().UnloadMusic(5);
    EXPECT_FALSE(Music().IsPlaying(5));
  }

  InspectableBassMusic& Music() {
    if (!mMusic) mMusic = std::make_unique<InspectableBassMusic>(FakeWindow());
    return *mMusic;
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) Music().Update();
  }
  int ChannelVolume(int id) {
    plat::BassChannelState state;
    EXPECT_TRUE(plat::BassChannelAttributes(Music().Song(id).mHStream, state));
    return state.volume;
  }

  std::unique_ptr<InspectableBassMusic> mMusic;
};

TEST_F(BassMusicTest, ExtensionDecidesBetweenStreamAndModule) {
  dir.Write("music/LOUD.OGG", ReadTestData("sound/tone_stereo_44100.ogg"));
  dir.Write("music/song.it", "IMPM but no module after it");
  dir.Write("music/noextension", "whatever");
  EXPECT_TRUE(Music().LoadMusic(0, "music/LOUD.OGG"));
  EXPECT_NE(Music().Song(0).mHStream, 0u);
  EXPECT_EQ(Music().Song(0).mHMusic, 0u);
  // What the library cannot load as a module fails and nothing is registered.
  EXPECT_FALSE(Music().LoadMusic(1, "music/song.it"));
  EXPECT_FALSE(Music().LoadMusic(2, "music/noextension"));
  EXPECT_FALSE(Music().LoadMusic(3, "music/missing.ogg"));
  EXPECT_FALSE(Music().Has(1));
  EXPECT_FALSE(Music().Has(3));
}

TEST_F(BassMusicTest, LoadingAnIdAgainKeepsTheFirstSongAndFreesTheSecond) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  int streams = plat::BassStreamCount();
  EXPECT_TRUE(Music().LoadMusic(0, "music/b.wav"));
  EXPECT_EQ(plat::BassStreamCount(), streams);
  Music().PlayMusic(0, 0, false);
  EXPECT_EQ(RenderLeft(64)[10], 10000);  // a.wav
}

TEST_F(BassMusicTest, PlayMusicPlaysAtTheCapAndLoopsUnlessTold) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/ramp.wav"));
  Music().SetSongMaxVolume(0, 0.5);
  Music().PlayMusic(0, 0, false);
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_EQ(Music().Song(0).mVolume, 0.5);
  std::vector<std::int16_t> out = RenderLeft(1500);
  EXPECT_EQ(out[0], 5);
  EXPECT_EQ(out[1000], 5);  // looped
  Music().PlayMusic(0, 0, true);
  RenderLeft(1500);
  EXPECT_FALSE(Music().IsPlaying(0));
}

TEST_F(BassMusicTest, OffsetMinusOneGoesOnWhereItStoppedAndOtherOffsetsRestart) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/ramp.wav"));
  Music().PlayMusic(0, 0, false);
  RenderLeft(100);
  Music().StopMusic(0);
  EXPECT_EQ(Music().Song(0).mVolume, 0.0);
  Music().PlayMusic(0, -1, false);
  EXPECT_EQ(RenderLeft(1)[0], 1010);  // frame 100, at full volume again
  Music().PlayMusic(0, 0, false);
  EXPECT_EQ(RenderLeft(1)[0], 10);
  Music().PlayMusic(0, 400, false);  // a byte offset: frame 200 of the mono 16-bit file
  EXPECT_EQ(RenderLeft(1)[0], 2010);
}

TEST_F(BassMusicTest, ModulesPlayFromAnOrderAtTheirVolume) { PlayModule(); }

TEST_F(BassMusicTest, FadeOutSkipsASilentSongButFadeOutAllStopsIt) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  Music().PlayMusic(0, 0, false);
  Music().SetSongVolume(0, 0.0);
  Music().FadeOut(0, true, kGameFade);
  EXPECT_EQ(Music().Song(0).mVolumeAdd, 0.0);
  Ticks(5);
  EXPECT_TRUE(Music().IsPlaying(0));
  Music().FadeOutAll(true, kGameFade);
  Ticks(1);
  EXPECT_FALSE(Music().IsPlaying(0));
}

// A fade moves the volume by its step each tick: in from silence to the cap, out to silence, where a
// fade out with stop ends the song.
TEST_F(BassMusicTest, CrossFadeHandsOverFromOneTrackToTheNext) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  ASSERT_TRUE(Music().LoadMusic(1, "music/b.wav"));
  Music().PlayMusic(0, 0, false);
  Music().FadeOut(0, true, kGameFade);
  Music().FadeIn(1, 0, kGameFade, false);
  EXPECT_TRUE(Music().IsPlaying(1));
  EXPECT_EQ(RenderLeft(64)[10], 10000);  // the second from silence
  Ticks(250);                            // both near half: 5000 + 10000
  EXPECT_NEAR(RenderLeft(64)[10], 15000, 150);
  Ticks(249);
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_EQ(Music().Song(1).mVolumeAdd, kGameFade);
  EXPECT_LT(Music().Song(1).mVolume, 1.0);
  Ticks(3);
  EXPECT_FALSE(Music().IsPlaying(0));
  EXPECT_EQ(Music().Song(0).mVolume, 0.0);
  EXPECT_EQ(Music().Song(1).mVolume, 1.0);
  EXPECT_EQ(Music().Song(1).mVolumeAdd, 0.0);
  EXPECT_EQ(RenderLeft(64)[10], 20000);
  // The clock moving the mixer on (no device) does not end a looping track.
  clock.AdvanceMillis(5000);
  EXPECT_TRUE(Music().IsPlaying(1));
}

TEST_F(BassMusicTest, PauseAndResumeHoldTheSongWhereItIs) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/ramp.wav"));
  ASSERT_TRUE(Music().LoadMusic(1, "music/a.wav"));
  Music().PlayMusic(0, 0, false);
  RenderLeft(100);
  Music().PauseMusic(0);
  EXPECT_FALSE(Music().IsPlaying(0));
  EXPECT_EQ(Peak(RenderLeft(64)), 0);
  Music().ResumeMusic(0);
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_EQ(RenderLeft(1)[0], 1010);
  Music().PlayMusic(1, 0, false);
  Music().PauseAllMusic();
  EXPECT_EQ(Peak(RenderLeft(64)), 0);
  Music().ResumeAllMusic();
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_TRUE(Music().IsPlaying(1));
  Music().StopAllMusic();
  EXPECT_FALSE(Music().IsPlaying(0));
  EXPECT_FALSE(Music().IsPlaying(1));
}

TEST_F(BassMusicTest, MaxVolumeLowersALouderSongOnly) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  Music().SetSongVolume(0, 0.8);
  Music().SetSongMaxVolume(0, 0.5);
  EXPECT_EQ(ChannelVolume(0), 50);
  Music().SetSongVolume(0, 0.3);
  Music().SetSongMaxVolume(0, 0.5);
  EXPECT_EQ(ChannelVolume(0), 30);
}

TEST_F(BassMusicTest, OverallVolumeSetsTheLibrarysGlobalVolumes) {
  Music().SetVolume(0.75);
  EXPECT_EQ(plat::BassVolumes().music, 75);
  EXPECT_EQ(plat::BassVolumes().stream, 75);
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  Music().PlayMusic(0, 0, false);
  EXPECT_EQ(RenderLeft(64)[10], 7500);
  Music().SetVolume(0.0);  // muted, streams and modules alike
  ASSERT_TRUE(Music().LoadMusic(5, "music/song.mod"));
  Music().PlayMusic(5, 0, false);
  EXPECT_EQ(Peak(RenderLeft(64)), 0);
}

TEST_F(BassMusicTest, UnloadingFreesTheStreams) {
  int before = plat::BassStreamCount();
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  ASSERT_TRUE(Music().LoadMusic(1, "music/b.wav"));
  ASSERT_TRUE(Music().LoadMusic(2, "music/ramp.wav"));
  Music().PlayMusic(0, 0, false);
  Music().UnloadMusic(0);
  EXPECT_FALSE(Music().Has(0));
  EXPECT_EQ(Peak(RenderLeft(64)), 0);
  EXPECT_EQ(plat::BassStreamCount(), before + 2);
  Music().UnloadMusic(7);  // unknown: nothing
  Music().UnloadAllMusic();
  EXPECT_EQ(plat::BassStreamCount(), before);
  Music().PlayMusic(1, 0, false);  // gone: nothing
  EXPECT_FALSE(Music().IsPlaying(1));
}

TEST_F(BassMusicTest, LibraryLivesAsLongAsAPlayerAndKeepsTheWaveOutVolume) {
  plat::SetWaveOutVolume(0x1234, 0x1234);
  Music();
  EXPECT_EQ(plat::WaveOutVolumeLeft(), 0x1234u);
  EXPECT_TRUE(plat::BassIsInitialised());
  EXPECT_TRUE(plat::BassIsStarted());
  EXPECT_EQ(plat::ModuleLoadCount("bass.dll"), 1);
  mMusic.reset();
  EXPECT_FALSE(plat::BassIsInitialised());
  EXPECT_EQ(Kit::gBassInstance, nullptr);
  EXPECT_EQ(plat::ModuleLoadCount("bass.dll"), 0);
  plat::SetWaveOutVolume(0xffff, 0xffff);
}

// The first generation of the library: no "BASS_SetConfig", and the global volumes in one call.
class BassVersion1Test : public BassMusicTest {
 protected:
  BassVersion1Test() {
    // The built-in modules register on first use of the table, which this look at it is for (its count
    // is not): that must not undo the registration that follows.
    (void)plat::ModuleLoadCount("bass.dll");
    plat::RegisterBassModule(plat::BassGeneration::Version1);
  }
  ~BassVersion1Test() override {
    mMusic.reset();
    plat::RegisterBassModule();
  }
};

TEST_F(BassVersion1Test, FirstGenerationFormsAreChosenAndPlay) {
  ASSERT_TRUE(Music().LoadMusic(0, "music/a.wav"));
  Music().PlayMusic(0, 0, false);
  EXPECT_EQ(RenderLeft(64)[10], 10000);
  Music().StopMusic(0);
  PlayModule();
}

TEST_F(BassVersion1Test, OverallVolumeGoesToTheThreeGlobalVolumesAtFortyOrElseToTheOutput) {
  Music().SetVolume(0.75);
  plat::BassGlobalVolumes volumes = plat::BassVolumes();
  EXPECT_EQ(volumes.music, 30);
  EXPECT_EQ(volumes.sample, 30);
  EXPECT_EQ(volumes.stream, 30);
  mMusic.reset();
  plat::SetExportMissing("bass.dll", "BASS_SetGlobalVolumes", true);
  Music().SetVolume(0.5);
  EXPECT_EQ(plat::BassVolumes().output, 20);
  EXPECT_EQ(plat::BassVolumes().stream, 100);
}

TEST_F(BassMusicTest, MissingLibraryOrEntryPointEndsTheProgramWithAMessage) {
  plat::SetModuleMissing("bass.dll", true);
  plat::ShownMessageBox box = FatalEnd([] { Kit::BassMusicInterface music(FakeWindow()); });
  EXPECT_EQ(box.text, "Can't find bass.dll.");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.type & MB_ICONERROR, MB_ICONERROR);
  plat::SetModuleMissing("bass.dll", false);

  plat::SetExportMissing("bass.dll", "BASS_ChannelStop", true);
  box = FatalEnd([] { Kit::BassMusicInterface music(FakeWindow()); });
  EXPECT_EQ(box.text, "BASS_ChannelStop function not found in bass.dll");
  plat::SetExportMissing("bass.dll", "BASS_StreamPlay", true);
  EXPECT_EQ(FatalEnd([] { Kit::BASS_INSTANCE bass("bass.dll"); }).text,
            "BASS_ChannelStop function not found in bass.dll");  // the first missing one in lookup order
  plat::ResetModuleFaults();

  plat::SetExportMissing("bass.dll", "BASS_SetGlobalVolumes", true);
  plat::SetExportMissing("bass.dll", "BASS_SetVolume", true);
  EXPECT_EQ(FatalEnd([] { Kit::BASS_INSTANCE bass("bass.dll"); }).text,
            "Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll");
  // Nothing stays loaded or counted after the ends.
  EXPECT_EQ(Kit::gBassInstance, nullptr);
  EXPECT_EQ(Kit::gBassRefCount, 0);
  EXPECT_EQ(plat::ModuleLoadCount("bass.dll"), 0);
}

}  // namespace
}  // namespace musictest
