#include "platform/fmod/FMod.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/win/Modules.h"
#include "platform/win/Time.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace {

std::string Wav16Mono(int rate, const std::vector<std::int16_t>& samples, bool padOddChunk = false) {
  auto put32 = [](std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  auto put16 = [](std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
  };
  std::string out = "RIFF";
  put32(out, 0);
  out += "WAVEfmt ";
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, static_cast<std::uint32_t>(rate));
  put32(out, static_cast<std::uint32_t>(rate * 2));
  put16(out, 2);
  put16(out, 16);
  if (padOddChunk) {
    out += "note";
    put32(out, 3);
    out += std::string("abc") + '\0';
  }
  out += "data";
  put32(out, static_cast<std::uint32_t>(samples.size() * 2));
  for (auto s : samples) put16(out, static_cast<std::uint16_t>(s));
  return out;
}

class FModTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::audio::CatchUp();
    ASSERT_TRUE(FSOUND_Init(44100, 64, 2));
  }
  void TearDown() override { FSOUND_Close(); }

  std::string Write(const std::string& name, const std::string& contents) { return dir.Write(name, contents); }

  testsupport::TempDir dir;
  plat::FakeClock clock;
  plat::ScopedClock useClock{clock};
};

TEST_F(FModTest, EveryEntryPointIsExportedUnderItsDecoratedName) {
  HMODULE module = LoadLibrary("fmod.dll");
  ASSERT_NE(module, nullptr);
  for (const char* name : {"_FSOUND_SetBufferSize@4",
                           "_FSOUND_SetHWND@4",
                           "_FSOUND_Init@12",
                           "_FSOUND_Close@0",
                           "_FSOUND_Sample_Load@16",
                           "_FSOUND_Sample_Alloc@28",
                           "_FSOUND_Sample_Free@4",
                           "_FSOUND_Sample_Lock@28",
                           "_FSOUND_Sample_Unlock@20",
                           "_FSOUND_Sample_SetLoopPoints@12",
                           "_FSOUND_Sample_GetLength@4",
                           "_FSOUND_Sample_GetDefaults@20",
                           "_FSOUND_Sample_GetMode@4",
                           "_FSOUND_PlaySound@8",
                           "_FSOUND_StopSound@4",
                           "_FSOUND_SetVolume@8",
                           "_FSOUND_SetPaused@8",
                           "_FSOUND_SetLoopMode@8",
                           "_FSOUND_IsPlaying@4",
                           "_FSOUND_Stream_OpenFile@12",
                           "_FSOUND_Stream_Close@4",
                           "_FSOUND_Stream_Play@8",
                           "_FMUSIC_LoadSong@4",
                           "_FMUSIC_PlaySong@4",
                           "_FMUSIC_StopSong@4",
                           "_FMUSIC_SetLooping@8",
                           "_FMUSIC_SetOrder@8",
                           "_FMUSIC_SetPaused@8",
                           "_FMUSIC_SetMasterVolume@8",
                           "_FMUSIC_IsPlaying@4"}) {
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
  }
  FreeLibrary(module);
}

TEST_F(FModTest, SamplesLoadFromWavOggAndMp3WithTheirFormats) {
  FSOUND_SAMPLE* wav = FSOUND_Sample_Load(FSOUND_FREE, Write("a.wav", Wav16Mono(11025, {1, 2, 3}, true)).c_str(), 0, 0);
  ASSERT_NE(wav, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(wav), 3u);
  EXPECT_EQ(FSOUND_Sample_GetMode(wav) & (FSOUND_MONO | FSOUND_8BITS), FSOUND_MONO);
  int frequency = 0;
  ASSERT_TRUE(FSOUND_Sample_GetDefaults(wav, &frequency, nullptr, nullptr, nullptr));
  EXPECT_EQ(frequency, 11025);

  FSOUND_SAMPLE* ogg =
      FSOUND_Sample_Load(FSOUND_FREE, testsupport::TestDataPath("sound/tone_stereo_44100.ogg").c_str(), 0, 0);
  ASSERT_NE(ogg, nullptr);
  EXPECT_EQ(FSOUND_Sample_GetLength(ogg), 4410u);
  EXPECT_EQ(FSOUND_Sample_GetMode(ogg) & FSOUND_MONO, 0u);

  FSOUND_SAMPLE* mp3 =
      FSOUND_Sample_Load(FSOUND_FREE, testsupport::TestDataPath("sound/tone_mono_22050.mp3").c_str(), 0, 0);
  ASSERT_NE(mp3, nullptr);
  FSOUND_Sample_GetDefaults(mp3, &frequency, nullptr, nullptr, nullptr);
  EXPECT_EQ(frequency, 22050);
  EXPECT_NE(FSOUND_Sample_GetMode(mp3) & FSOUND_MONO, 0u);
  // 0.25 s of tone in whole frames of 1152 samples; the encoder's delay and padding may add up to two.
  EXPECT_GE(FSOUND_Sample_GetLength(mp3), 5512u);
  EXPECT_LE(FSOUND_Sample_GetLength(mp3), 5512u + 2 * 1152);
}

TEST_F(FModTest, BadOrMissingFilesGiveNoSample) {
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, (dir / "missing.wav").c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("junk.mp3", std::string(3000, 'x')).c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("junk.ogg", "OggS and then nothing").c_str(), 0, 0), nullptr);
  std::string wav = Wav16Mono(8000, {1, 2, 3, 4});
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, Write("cut.wav", wav.substr(0, 30)).c_str(), 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, nullptr, 0, 0), nullptr);
  EXPECT_EQ(FMUSIC_LoadSong((dir / "x.mod").c_str()), nullptr);
  EXPECT_EQ(FSOUND_Stream_OpenFile("x.ogg", 0, 0), nullptr);
}

TEST_F(FModTest, ChannelsPlayStopPauseAndLoop) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Alloc(FSOUND_FREE, 4410, FSOUND_MONO, 44100, 255, 128, 0);
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(FSOUND_PlaySound(3, sample), 3);
  EXPECT_TRUE(FSOUND_IsPlaying(3));
  EXPECT_FALSE(FSOUND_IsPlaying(4));
  FSOUND_SetPaused(3, 1);
  clock.AdvanceMillis(500);
  EXPECT_TRUE(FSOUND_IsPlaying(3));
  FSOUND_SetPaused(3, 0);
  clock.AdvanceMillis(101);
  EXPECT_FALSE(FSOUND_IsPlaying(3));

  EXPECT_EQ(FSOUND_PlaySound(3, sample), 3);
  FSOUND_SetLoopMode(3, FSOUND_LOOP_NORMAL);
  clock.AdvanceMillis(1000);
  EXPECT_TRUE(FSOUND_IsPlaying(3));
  EXPECT_TRUE(FSOUND_StopSound(3));
  EXPECT_FALSE(FSOUND_IsPlaying(3));
  EXPECT_EQ(FSOUND_PlaySound(64, sample), -1);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, sample), 0);
}

TEST_F(FModTest, LockedSampleDataIsWhatPlaysAtTheChannelVolume) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Alloc(FSOUND_FREE, 8, FSOUND_MONO, 44100, 255, 128, 0);
  void *part1 = nullptr, *part2 = nullptr;
  unsigned int length1 = 0, length2 = 0;
  ASSERT_TRUE(FSOUND_Sample_Lock(sample, 0, 16, &part1, &part2, &length1, &length2));
  EXPECT_EQ(length1, 16u);
  std::vector<std::int16_t> values(8, 10000);
  std::memcpy(part1, values.data(), 16);
  ASSERT_TRUE(FSOUND_Sample_Unlock(sample, part1, part2, length1, length2));
  EXPECT_FALSE(FSOUND_Sample_Unlock(sample, part1, part2, length1, length2));
  ASSERT_EQ(FSOUND_PlaySound(0, sample), 0);
  FSOUND_SetVolume(0, 50);
  std::vector<std::int16_t> out(4);
  plat::audio::SharedMixer().Mix(out.data(), 2);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 5000);
}

TEST_F(FModTest, LoopPointsRepeatOnlyTheirPart) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Alloc(FSOUND_FREE, 4, FSOUND_MONO | FSOUND_LOOP_NORMAL, 44100, 100, 128, 0);
  void *part1 = nullptr, *part2 = nullptr;
  unsigned int length1 = 0, length2 = 0;
  FSOUND_Sample_Lock(sample, 0, 8, &part1, &part2, &length1, &length2);
  std::vector<std::int16_t> values{10, 20, 30, 40};
  std::memcpy(part1, values.data(), 8);
  FSOUND_Sample_Unlock(sample, part1, part2, length1, length2);
  EXPECT_FALSE(FSOUND_Sample_SetLoopPoints(sample, 2, 4));
  ASSERT_TRUE(FSOUND_Sample_SetLoopPoints(sample, 2, 3));
  FSOUND_PlaySound(0, sample);
  std::vector<std::int16_t> out(12);
  plat::audio::SharedMixer().Mix(out.data(), 6);
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
  EXPECT_EQ(left, (std::vector<std::int16_t>{10, 20, 30, 40, 30, 40}));
}

TEST_F(FModTest, StaleHandlesAndUninitialisedPlayAreRefused) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Alloc(FSOUND_FREE, 4, 0, 44100, 100, 128, 0);
  FSOUND_Sample_Free(sample);
  EXPECT_EQ(FSOUND_Sample_GetLength(sample), 0u);
  EXPECT_EQ(FSOUND_PlaySound(0, sample), -1);
  FSOUND_Sample_Free(sample);  // a second free is harmless
  EXPECT_EQ(FSOUND_Sample_Alloc(FSOUND_FREE, 0, 0, 44100, 100, 128, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Alloc(FSOUND_FREE, 4, 0, 5, 100, 128, 0), nullptr);
  FSOUND_SAMPLE* kept = FSOUND_Sample_Alloc(FSOUND_FREE, 4, 0, 44100, 100, 128, 0);
  FSOUND_Close();
  EXPECT_EQ(FSOUND_Sample_GetLength(kept), 0u);  // Close freed every sample
  EXPECT_EQ(FSOUND_PlaySound(0, FSOUND_Sample_Alloc(FSOUND_FREE, 4, 0, 44100, 100, 128, 0)), -1);
  EXPECT_FALSE(FMUSIC_IsPlaying(nullptr));
}

}  // namespace
