// The layer's "bass.dll" itself: streams decoded and modules rendered as they play, heard through the shared
// mixer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/audio/AudioOutput.h"
#include "platform/bass/Bass.h"
#include "tests/support/AudioFixture.h"
#include "tests/support/TrackerModule.h"

namespace musictest {
namespace {

using namespace testsupport;

class BassLayerTest : public AudioTest {
 protected:
  BassLayerTest() { BASS_Init(-1, 44100, 0, FakeWindow(), nullptr); }
  ~BassLayerTest() override { BASS_Free(); }

  HSTREAM Open(const std::string& name, const std::string& contents) {
    dir.Write(name, contents);
    return BASS_StreamCreateFile(FALSE, name.c_str(), 0, 0, 0);
  }
};

// Decoded as they play: looped they go on, moved they start there, played once they stop by themselves.
TEST_F(BassLayerTest, OggAndMp3StreamsDecodeMoveAndLoop) {
  for (const auto& [file, rate] : {std::pair{"tone_stereo_44100.ogg", 44100}, std::pair{"tone_mono_22050.ogg", 22050},
                                   std::pair{"tone_mono_22050.mp3", 22050}}) {
    SCOPED_TRACE(file);
    HSTREAM stream = Open(file, ReadTestData(std::string("sound/") + file));
    ASSERT_NE(stream, 0u);
    plat::BassChannelState state;
    ASSERT_TRUE(plat::BassChannelAttributes(stream, state));
    EXPECT_EQ(state.frequency, rate);
    BASS_StreamPlay(stream, TRUE, BASS_SAMPLE_LOOP);
    for (int i = 0; i < 12; ++i) EXPECT_GT(Peak(RenderLeft(4096)), 1000) << "block " << i;
    EXPECT_TRUE(BASS_ChannelSetPosition(stream, 1000 * 2));
    EXPECT_FALSE(BASS_ChannelSetPosition(stream, 100'000'000));
    BASS_StreamPlay(stream, TRUE, 0);
    for (int i = 0; i < 100 && BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING; ++i) RenderLeft(4096);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);
    BASS_StreamFree(stream);
  }
}

TEST_F(BassLayerTest, FilesThatCannotBeStreamedGiveNoHandle) {
  int before = plat::BassStreamCount();
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, "missing.ogg", 0, 0, 0), 0u);
  EXPECT_EQ(Open("garbage.ogg", "OggS but not really a vorbis stream at all"), 0u);
  EXPECT_EQ(Open("tiny.wav", "RIF"), 0u);
  EXPECT_EQ(Open("headless.wav", "RIFF\x10\0\0\0WAVEdata\x04\0\0\0abcd"), 0u);  // data before "fmt "
  std::string wav = MonoWav(44100, 10, 1);
  wav[20] = 3;  // float samples
  EXPECT_EQ(Open("float.wav", wav), 0u);
  EXPECT_EQ(Open("noise.mp3", std::string("\xff\xfb") + std::string(300, '\x13')), 0u);
  EXPECT_EQ(BASS_StreamCreateFile(TRUE, wav.data(), 0, static_cast<DWORD>(wav.size()), 0), 0u);
  EXPECT_EQ(BASS_StreamCreateFile(FALSE, nullptr, 0, 0, 0), 0u);
  EXPECT_EQ(plat::BassStreamCount(), before);
}

// A WAV with an odd-sized chunk before "fmt ": padded as the format says, or not padded at all.
std::string WavWithOddChunk(bool padded) {
  std::string wav = MonoWav(44100, 10, 100, 100);
  std::string chunk = std::string("LIST\x03\0\0\0abc", 11) + (padded ? std::string(1, '\0') : std::string());
  wav.insert(12, chunk);
  return wav;
}

// Data claiming 65535 bytes of a 100-byte file.
std::string WavCutShort() {
  std::string wav = MonoWav(44100, 50, 100, 100);
  wav[40] = static_cast<char>(0xff), wav[41] = static_cast<char>(0xff);
  return wav;
}

// Unsigned 8-bit samples of 128 + 16.
std::string EightBitWav() {
  std::string wav = MonoWav(44100, 0, 0);
  wav[32] = 1;     // block alignment
  wav[34] = 8;     // bits
  wav[28] = 0x44;  // 44100 bytes per second
  wav[29] = static_cast<char>(0xac);
  wav[30] = 0;
  wav += std::string(100, static_cast<char>(128 + 16));
  wav[40] = 100;  // data size
  return wav;
}

TEST_F(BassLayerTest, UnusualWavFilesPlayWhatTheyHold) {
  struct Case {
    const char* name;
    std::string wav;
    std::vector<std::pair<std::size_t, std::int16_t>> heard;  // (frame, sample), played looping
  };
  const Case cases[] = {
      {"padded.wav", WavWithOddChunk(true), {{0, 100}, {9, 1000}}},
      {"unpadded.wav", WavWithOddChunk(false), {{0, 100}, {9, 1000}}},
      {"short.wav", WavCutShort(), {{49, 5000}, {50, 100}}},  // the loop joins at the real end
      {"eight.wav", EightBitWav(), {{5, 16 * 256}}},          // centred on silence
  };
  for (const Case& c : cases) {
    HSTREAM stream = Open(c.name, c.wav);
    ASSERT_NE(stream, 0u) << c.name;
    BASS_StreamPlay(stream, TRUE, BASS_SAMPLE_LOOP);
    const std::vector<std::int16_t> out = RenderLeft(64);
    for (const auto& [frame, sample] : c.heard) EXPECT_EQ(out[frame], sample) << c.name << " frame " << frame;
    BASS_StreamFree(stream);
  }
}

TEST_F(BassLayerTest, StreamsTakeEveryChangeWhileTheAudioThreadMixes) {
  dir.Write("music/start.ogg", ReadTestData("sound/tone_stereo_44100.ogg"));
  dir.Write("ramp.wav", MonoWav(44100, 5000, 0, 3));
  std::atomic<bool> running{true};
  // Mixes as a device asks, a block and then a pause: a thread that mixed without one would hold the
  // mixer's lock nearly all the time, and the calls below would wait for it for minutes under the race
  // checker.
  std::thread audio([&] {
    std::vector<std::int16_t> block(2 * 512);
    while (running) {
      plat::audio::SharedMixer().Mix(block.data(), 512);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int round = 0; round < 40; ++round) {
    HSTREAM ogg = BASS_StreamCreateFile(FALSE, "music/start.ogg", 0, 0, 0);
    HSTREAM wav = BASS_StreamCreateFile(FALSE, "ramp.wav", 0, 0, 0);
    ASSERT_NE(ogg, 0u);
    ASSERT_NE(wav, 0u);
    BASS_StreamPlay(ogg, TRUE, BASS_SAMPLE_LOOP);
    BASS_StreamPlay(wav, TRUE, round % 2 ? BASS_SAMPLE_LOOP : 0);
    BASS_ChannelSetPosition(ogg, static_cast<QWORD>(round) * 400);
    BASS_ChannelPause(wav);
    BASS_ChannelSetAttributes(ogg, -1, round, -101);
    BASS_ChannelResume(wav);
    BASS_StreamPlay(wav, TRUE, 0);
    BASS_ChannelStop(ogg);
    BASS_StreamFree(wav);
    if (round % 3 == 0) BASS_StreamFree(ogg);
  }
  running = false;
  audio.join();
  BASS_Free();
  EXPECT_EQ(plat::BassStreamCount(), 0);
}

// Modules: three patterns of a square wave at levels 64, 32 and 16, 0.24 s each.
class BassModuleTest : public BassLayerTest {
 protected:
  BassModuleTest() { dir.Write("music/song.mod", SquareWaveMod({64, 32, 16})); }

  static HMUSIC Load(DWORD flags = BASS_MUSIC_RAMP | BASS_SAMPLE_LOOP) {
    return BASS_MusicLoad(FALSE, "music/song.mod", 0, 0, flags, 0);
  }
  // The loudest sample of the middle half of the next pattern played; renders the whole pattern.
  static int PatternPeak() {
    constexpr std::size_t kQuarter = kModPatternFrames / 4;
    RenderLeft(kQuarter);
    int peak = Peak(RenderLeft(2 * kQuarter));
    RenderLeft(kModPatternFrames - 3 * kQuarter);
    return peak;
  }
};

// Played once and from an order, through the music player; here what the player never asks for itself.
TEST_F(BassModuleTest, LoopingRunsOnFromTheLastOrderToTheFirst) {
  HMUSIC music = Load();
  ASSERT_NE(music, 0u);
  EXPECT_EQ(BASS_ChannelIsActive(music), BASS_ACTIVE_STOPPED);
  ASSERT_TRUE(BASS_MusicPlayEx(music, 0, BASS_SAMPLE_LOOP | BASS_MUSIC_RAMP, TRUE));
  int first = PatternPeak();
  EXPECT_GT(first, 1000);
  ASSERT_TRUE(BASS_MusicPlayEx(music, 2, BASS_SAMPLE_LOOP | BASS_MUSIC_RAMP, TRUE));
  EXPECT_NEAR(PatternPeak(), first / 4, first / 20);
  EXPECT_NEAR(PatternPeak(), first, first / 20);
  EXPECT_FALSE(BASS_MusicPlayEx(music, 3, 0, TRUE));  // no such order: it plays on as it was
  EXPECT_NEAR(PatternPeak(), first / 2, first / 20);
  EXPECT_FALSE(BASS_ChannelSetPosition(music, 0x10000));
}

TEST_F(BassModuleTest, WhatIsNoModuleGivesNoHandle) {
  int before = plat::BassStreamCount();
  dir.Write("music/text.it", "IMPM but nothing of a module after it");
  dir.Write("music/empty.xm", "");
  dir.Write("music/tone.s3m", MonoWav(44100, 100, 5).substr(0, 20));
  for (const char* name : {"music/text.it", "music/empty.xm", "music/tone.s3m", "music/missing.mod"})
    EXPECT_EQ(BASS_MusicLoad(FALSE, name, 0, 0, 4), 0u) << name;
  std::string bytes = SquareWaveMod({64});
  EXPECT_EQ(BASS_MusicLoad(TRUE, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 4), 0u);
  EXPECT_EQ(plat::BassStreamCount(), before);
}

}  // namespace
}  // namespace musictest
