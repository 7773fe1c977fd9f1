// The FMOD music player on the layer's "fmod.dll": module songs, sample songs, their WAV cache and intro joins.
#include "framework/sound/FModMusicInterface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "framework/sound/FModLibrary.h"
#include "framework/sound/FModSampleCache.h"
#include "platform/fmod/FMod.h"
#include "tests/support/AudioFixture.h"
#include "tests/support/TrackerModule.h"

namespace musictest {
namespace {

using namespace testsupport;

class InspectableFModMusic : public Kit::FModMusicInterface {
 public:
  using FModMusicInterface::FModMusicInterface;
  const Kit::FModMusicInfo& Song(int id) const { return mMusicMap.at(id); }
};

constexpr double kGameFade = 0.002;

class FModMusicTest : public AudioTest {
 protected:
  // The sound manager initialises the library before the music player is made.
  FModMusicTest() { ::FSOUND_Init(44100, 64, 2); }
  ~FModMusicTest() override {
    mMusic.reset();
    ::FSOUND_Close();
  }

  InspectableFModMusic& Music() {
    if (!mMusic) mMusic = std::make_unique<InspectableFModMusic>(FakeWindow());
    return *mMusic;
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) Music().Update();
  }

  std::unique_ptr<InspectableFModMusic> mMusic;
};

TEST(FModSampleCacheName, CacheSitsBesideTheSoundWithAPrefix) {
  EXPECT_EQ(Kit::FModSampleCacheName("music/start"), "music/cached_start.wav");
  EXPECT_EQ(Kit::FModSampleCacheName("music\\level1"), "music\\cached_level1.wav");
  EXPECT_EQ(Kit::FModSampleCacheName("a\\b/end"), "a\\b/cached_end.wav");
  EXPECT_EQ(Kit::FModSampleCacheName("start"), "cached_start.wav");  // not "scached_tart.wav"
  EXPECT_EQ(Kit::FModSampleCacheName("music/"), "music/cached_.wav");
}

TEST_F(FModMusicTest, FirstLoadWritesTheCacheAndLaterRunsUseIt) {
  dir.Write("music/start.ogg", ReadTestData("sound/tone_stereo_44100.ogg"));
  ASSERT_TRUE(Music().LoadSample(0, "music/start", true));
  // A plain WAV of the decoded 16-bit stereo samples at the sound's rate.
  const std::string cache = ReadFileContents("music/cached_start.wav");
  ASSERT_GT(cache.size(), 1000u);
  EXPECT_EQ(cache, WavFile(2, 44100, 16, std::vector<std::uint8_t>(cache.begin() + 44, cache.end())));
  Music().PlayMusic(0, -1, false);
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_GT(Peak(RenderLeft(4096)), 1000);

  std::filesystem::remove("music/start.ogg");
  EXPECT_TRUE(Music().LoadSample(1, "music/start", false));  // from the cache alone
  EXPECT_FALSE(Music().LoadSample(2, "music/missing", false));
  dir.Write("start.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(Music().LoadSample(3, "start", false));
  EXPECT_TRUE(std::filesystem::exists("cached_start.wav"));  // beside a name without a folder
}

TEST_F(FModMusicTest, SampleSongsPlayOnTheChannelOfTheirIdAndReportIt) {
  dir.Write("music/cached_a.wav", MonoWav(44100, 4000, 10000));
  dir.Write("music/cached_b.wav", MonoWav(44100, 4000, 10000));
  dir.Write("music/cached_c.wav", MonoWav(44100, 4000, 20000));
  ASSERT_TRUE(Music().LoadSample(0, "music/a", true));
  ASSERT_TRUE(Music().LoadSample(1, "music/b", true));
  EXPECT_TRUE(Music().LoadSample(1, "music/c", true));  // the id keeps its first song
  EXPECT_FALSE(Music().IsPlaying(0));
  Music().PlayMusic(0, 0, false);
  Music().PlayMusic(1, 0, false);
  EXPECT_TRUE(::FSOUND_IsPlaying(0));
  EXPECT_TRUE(::FSOUND_IsPlaying(1));
  EXPECT_TRUE(Music().IsPlaying(0));  // asked of the channel, not of a module it does not have
  EXPECT_EQ(RenderLeft(64)[10], 20000);
  Music().StopMusic(0);
  EXPECT_FALSE(Music().IsPlaying(0));
  EXPECT_TRUE(Music().IsPlaying(1));
  EXPECT_FALSE(Music().IsPlaying(9));
}

TEST_F(FModMusicTest, FadeOutAllFadesAndStopsEverySong) {
  for (const char* name : {"a", "b", "c"})
    dir.Write(std::string("music/cached_") + name + ".wav", MonoWav(44100, 4000, 1000));
  ASSERT_TRUE(Music().LoadSample(0, "music/a", true));
  ASSERT_TRUE(Music().LoadSample(1, "music/b", true));
  ASSERT_TRUE(Music().LoadSample(2, "music/c", true));
  for (int id = 0; id < 3; ++id) Music().PlayMusic(id, 0, false);
  Music().FadeOutAll(true, kGameFade);
  Ticks(250);
  EXPECT_NEAR(RenderLeft(64)[10], 1500, 60);
  for (int id = 0; id < 3; ++id) EXPECT_TRUE(Music().IsPlaying(id));
  Ticks(252);
  for (int id = 0; id < 3; ++id) EXPECT_FALSE(Music().IsPlaying(id)) << id;
}

TEST_F(FModMusicTest, FadeInDoesNotRestartAPlayingSong) {
  dir.Write("music/cached_ramp.wav", MonoWav(44100, 1000, 10, 10));
  ASSERT_TRUE(Music().LoadSample(0, "music/ramp", true));
  Music().FadeIn(0, 0, kGameFade, false);
  EXPECT_TRUE(Music().IsPlaying(0));
  EXPECT_EQ(Peak(RenderLeft(100)), 0);  // from silence
  Ticks(500);
  Music().FadeIn(0, 0, kGameFade, false);
  EXPECT_NEAR(RenderLeft(1)[0], 1010, 20);  // frame 100: it went on
  Ticks(2);
  EXPECT_EQ(Music().Song(0).mVolume, 1.0);
}

TEST_F(FModMusicTest, PauseResumeAndMasterVolume) {
  dir.Write("music/cached_a.wav", MonoWav(44100, 4000, 10000));
  ASSERT_TRUE(Music().LoadSample(0, "music/a", true));
  Music().PlayMusic(0, 0, false);
  Music().SetVolume(0.5);
  EXPECT_EQ(RenderLeft(64)[10], 5000);
  Music().PauseMusic(0);
  EXPECT_EQ(Peak(RenderLeft(64)), 0);
  Music().ResumeMusic(0);
  EXPECT_EQ(RenderLeft(64)[10], 5000);
  Music().SetSongVolume(0, 0.5);
  EXPECT_EQ(RenderLeft(64)[10], 2500);
}

TEST_F(FModMusicTest, IntroPlaysOnceThenTheLoopPartRepeats) {
  dir.Write("music/cached_intro.wav", MonoWav(44100, 100, 100, 100));
  dir.Write("music/cached_loop.wav", MonoWav(44100, 50, 20000, 10));
  ASSERT_TRUE(Music().LoadSampleWithIntro(0, "music/intro", "music/loop", true));
  EXPECT_TRUE(Music().Song(0).mRepeats);
  Music().PlayMusic(0, 0, false);
  std::vector<std::int16_t> out = RenderLeft(400);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[i], (i + 1) * 100) << "intro frame " << i;
  for (int i = 100; i < 400; ++i) ASSERT_EQ(out[i], 20000 + ((i - 100) % 50) * 10) << "frame " << i;

  ASSERT_TRUE(Music().LoadSampleWithIntro(1, "music/intro", "music/loop", false));
  Music().StopMusic(0);
  Music().PlayMusic(1, 0, false);
  out = RenderLeft(200);
  EXPECT_EQ(out[149], 20490);
  EXPECT_EQ(Peak({out.begin() + 150, out.end()}), 0);  // once through, then silence
  EXPECT_FALSE(Music().IsPlaying(1));
}

TEST_F(FModMusicTest, IntroAndLoopOfDifferentShapesAreRefused) {
  dir.Write("music/cached_intro.wav", MonoWav(22050, 100, 100, 100));
  dir.Write("music/cached_loop.wav", MonoWav(44100, 50, 20000, 10));
  dir.Write("music/cached_stereo.wav", WavFile(2, 22050, 16, std::vector<std::uint8_t>(400, 0)));
  EXPECT_FALSE(Music().LoadSampleWithIntro(0, "music/intro", "music/loop", true));
  EXPECT_FALSE(Music().LoadSampleWithIntro(0, "music/intro", "music/stereo", true));
  EXPECT_FALSE(Music().LoadSampleWithIntro(0, "music/intro", "music/missing", true));
  EXPECT_FALSE(Music().LoadSampleWithIntro(0, "music/missing", "music/loop", true));
  EXPECT_FALSE(Music().IsPlaying(0));
}

TEST_F(FModMusicTest, ModuleSongsPlayFromAnOrderOnceOrLooping) {
  constexpr std::size_t kPattern = kModPatternFrames;
  dir.Write("music/song.xm", "Extended Module: nothing more");
  dir.Write("music/song.mod", SquareWaveMod({64, 32, 16}));
  EXPECT_FALSE(Music().LoadMusic(0, "music/song.xm"));
  ASSERT_TRUE(Music().LoadMusic(1, "music/song.mod"));
  int first = PlayModuleOrdersOnce(Music(), 1);

  Music().PlayMusic(1, 2, false);
  RenderLeft(kPattern);
  EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first, first / 20);  // round to order 0
  Music().PauseMusic(1);
  EXPECT_TRUE(Music().IsPlaying(1));
  EXPECT_EQ(Peak(RenderLeft(kPattern)), 0);
  Music().ResumeMusic(1);
  Music().SetVolume(0.5);
  EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first / 2, first / 20);  // still order 0, at half

  Music().FadeOut(1, true, 0.25);
  Ticks(3);
  EXPECT_TRUE(Music().IsPlaying(1));
  Ticks(2);
  EXPECT_FALSE(Music().IsPlaying(1));
  EXPECT_EQ(Peak(RenderLeft(1024)), 0);
  ::FSOUND_Close();  // frees the song: later calls on it are refused
  Music().PlayMusic(1, 0, false);
  EXPECT_FALSE(Music().IsPlaying(1));
  mMusic.reset();
  EXPECT_EQ(Kit::gFModInstance, nullptr);
}

}  // namespace
}  // namespace musictest
