#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <vector>

#include "framework/sound/SoundFileTime.h"
#include "tests/sound/SoundTestSupport.h"

namespace soundtest {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kMonoOggFrames = 5512;    // tone_mono_22050.ogg: 0.25 s at 22050 Hz
constexpr DWORD kStereoOggFrames = 4410;  // tone_stereo_44100.ogg: 0.1 s at 44100 Hz

class SoundLoadingTest : public SoundTest {
 protected:
  void SetMTime(const std::string& path, time_t seconds) {
    utimbuf times{seconds, seconds};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
  }

  InspectableDSoundManager manager{FakeWindow(), false};
};

TEST_F(SoundLoadingTest, SixteenAndEightBitWavFilesLoadTheirSamplesAndFormat) {
  dir.Write("a.wav", WavFile(2, 32000, 16, Pcm16({100, -100, 32767, -32768})));
  ASSERT_TRUE(manager.LoadSound(0, "a"));
  EXPECT_EQ(manager.Bytes(0), Pcm16({100, -100, 32767, -32768}));
  WAVEFORMATEX format = manager.Format(0);
  EXPECT_EQ(format.nChannels, 2);
  EXPECT_EQ(format.nSamplesPerSec, 32000u);
  EXPECT_EQ(format.wBitsPerSample, 16);

  dir.Write("b.wav", WavFile(1, 11025, 8, {0x00, 0x80, 0xFF, 0x10}, 1, true));  // 18-byte "fmt "
  ASSERT_TRUE(manager.LoadSound(1, "b"));
  EXPECT_EQ(manager.Bytes(1), (std::vector<std::uint8_t>{0x00, 0x80, 0xFF, 0x10}));
  EXPECT_EQ(manager.Format(1).wBitsPerSample, 8);
  // A plain WAV source is never cached.
  EXPECT_FALSE(fs::exists("cached/a.wav"));
}

TEST_F(SoundLoadingTest, BadFilesFailAndLeaveTheSlotEmpty) {
  const std::string wav = WavFile(1, 44100, 16, Pcm16(std::vector<std::int16_t>(100, 5)));
  const std::string au = AuFile(1, 8000, 1, std::vector<std::uint8_t>(100, 0xFF));
  const std::pair<const char*, std::string> files[] = {
      {"float.wav", WavFile(1, 44100, 32, std::vector<std::uint8_t>(8, 0), 3)},
      {"cut.wav", wav.substr(0, wav.size() - 10)},
      {"nodata.wav", wav.substr(0, 36)},
      {"empty.wav", WavFile(1, 44100, 16, {})},
      {"riff.wav", "RIFX....WAVE"},
      {"fivech.wav", WavFile(5, 44100, 16, std::vector<std::uint8_t>(20, 0))},
      {"pcm16.au", AuFile(3, 8000, 1, {0, 0})},
      {"short.au", au.substr(0, 60)},
  };
  unsigned int id = 0;
  for (const auto& [file, contents] : files) {
    dir.Write(file, contents);
    const std::string name = fs::path(file).stem().string();
    EXPECT_FALSE(manager.LoadSound(id, name)) << file;
    EXPECT_EQ(manager.Source(id), nullptr) << file;
    EXPECT_EQ(manager.Name(id++), name);  // the name is remembered even so
  }
  EXPECT_FALSE(manager.LoadSound(id, "absent"));
  EXPECT_FALSE(manager.LoadSound(256, "a"));
}

TEST_F(SoundLoadingTest, OggIsDecodedOnceAndCachedBesideItsStamp) {
  std::string ogg = dir.Write("sounds/boom.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(manager.LoadSound(0, "sounds\\boom"));
  EXPECT_EQ(manager.DataSize(0), kMonoOggFrames * 2);
  EXPECT_EQ(manager.Format(0).nSamplesPerSec, 22050u);
  std::vector<std::uint8_t> decoded = manager.Bytes(0);

  std::string cache = ReadFileContents("cached/sounds/boom.wav");
  std::string source = "sounds\\boom.ogg";
  ASSERT_EQ(cache.size(), 62 + source.size() + kMonoOggFrames * 2);
  EXPECT_EQ(cache.substr(36, 4), "dep ");
  EXPECT_EQ(cache.substr(46, source.size()), source);
  FILETIME stamp{};
  ASSERT_TRUE(Kit::GetTheFileTime(ogg, &stamp));
  EXPECT_EQ(std::memcmp(cache.data() + 46 + source.size(), &stamp.dwLowDateTime, 4), 0);
  EXPECT_EQ(cache.substr(54 + source.size(), 4), "data");

  // The second load reads the cache: even a damaged source with the same time is not looked at.
  struct stat before {};
  stat(ogg.c_str(), &before);
  dir.Write("sounds/boom.ogg", "not an ogg file at all");
  utimensat(AT_FDCWD, ogg.c_str(), std::array<timespec, 2>{before.st_mtim, before.st_mtim}.data(), 0);
  ASSERT_TRUE(manager.LoadSound(1, "sounds\\boom"));
  EXPECT_EQ(manager.Bytes(1), decoded);
}

// A damaged cache is rewritten, one older than its source is rebuilt, one without its source refused.
TEST_F(SoundLoadingTest, ACacheIsUsedOnlyWhileItIsWholeAndItsSourceUnchanged) {
  std::string ogg = dir.Write("boom.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  SetMTime(ogg, 1'000'000'000);
  ASSERT_TRUE(manager.LoadSound(0, "boom"));
  std::string good = ReadFileContents("cached/boom.wav");
  dir.Write("cached/boom.wav", good.substr(0, good.size() / 2));
  ASSERT_TRUE(manager.LoadSound(0, "boom"));
  EXPECT_EQ(ReadFileContents("cached/boom.wav"), good);

  dir.Write("boom.ogg", ReadTestData("sound/tone_stereo_44100.ogg"));
  SetMTime(ogg, 1'000'000'100);
  ASSERT_TRUE(manager.LoadSound(0, "boom"));
  EXPECT_EQ(manager.Format(0).nChannels, 2);
  EXPECT_EQ(manager.DataSize(0), kStereoOggFrames * 4);
  EXPECT_EQ(ReadFileContents("cached/boom.wav").size(), 62 + std::string("boom.ogg").size() + kStereoOggFrames * 4);

  fs::remove("boom.ogg");
  EXPECT_FALSE(manager.LoadSound(0, "boom"));
  EXPECT_EQ(manager.Source(0), nullptr);
}

TEST_F(SoundLoadingTest, AbsoluteAndShortNamesAreNeverCached) {
  std::string ogg = dir.Write("abs.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  std::string absolute = ogg.substr(0, ogg.size() - 4);
  ASSERT_TRUE(manager.LoadSound(0, absolute));
  dir.Write("ab.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(manager.LoadSound(1, "ab"));
  EXPECT_FALSE(fs::exists("cached"));
}

TEST_F(SoundLoadingTest, WavWinsOverOggAndMp3NeedsFMod) {
  dir.Write("both.wav", WavFile(1, 8000, 8, {1, 2, 3, 4}));
  dir.Write("both.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(manager.LoadSound(0, "both"));
  EXPECT_EQ(manager.Format(0).nSamplesPerSec, 8000u);
  EXPECT_FALSE(fs::exists("cached/both.wav"));
  dir.Write("song.mp3", "ID3 and whatever follows");
  EXPECT_FALSE(manager.LoadSound(1, "song"));
}

TEST_F(SoundLoadingTest, CacheNamesWithOddLengthAndOverlongSourcesAreHandled) {
  // "abc.ogg" is 7 bytes: the "data" chunk follows the "dep " chunk on an odd offset.
  dir.Write("abc.ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(manager.LoadSound(0, "abc"));
  ASSERT_TRUE(manager.LoadWAVSound(1, "cached\\abc.wav"));
  EXPECT_EQ(manager.Bytes(1), manager.Bytes(0));

  // A source name of more than 255 bytes is cut when read back, so its cache never validates.
  std::string folder(120, 'f');
  std::string name = folder + "/" + folder + "/" + std::string(30, 's');
  dir.Write(name + ".ogg", ReadTestData("sound/tone_mono_22050.ogg"));
  ASSERT_TRUE(manager.LoadSound(2, name));
  ASSERT_TRUE(fs::exists("cached/" + name + ".wav"));
  EXPECT_FALSE(manager.LoadWAVSound(3, "cached\\" + name + ".wav"));
}

TEST_F(SoundLoadingTest, AuMuLawAndSignedLinearAreConverted) {
  dir.Write("mulaw.au", AuFile(1, 8000, 1, {0xFF, 0x7F, 0x80, 0x00, 0xF0, 0x70}));
  ASSERT_TRUE(manager.LoadSound(0, "mulaw"));
  EXPECT_EQ(manager.Bytes(0), Pcm16({0, 0, 31616, -31616, 120, -120}));
  EXPECT_EQ(manager.Format(0).wBitsPerSample, 16);
  EXPECT_TRUE(fs::exists("cached/mulaw.wav"));

  dir.Write("lin.au", AuFile(2, 8000, 2, {0x00, 0x7F, 0x80, 0xFF}));
  ASSERT_TRUE(manager.LoadSound(1, "lin"));
  EXPECT_EQ(manager.Bytes(1), (std::vector<std::uint8_t>{0x80, 0xFF, 0x00, 0x7F}));
  EXPECT_EQ(manager.Format(1).nChannels, 2);
}

TEST_F(SoundLoadingTest, LoadSoundByNameReusesNamesAndFillsFromTheTop) {
  dir.Write("beep.wav", WavFile(1, 8000, 8, {1, 2, 3, 4}));
  dir.Write("boop.wav", WavFile(1, 8000, 8, {3, 4, 5, 6}));
  EXPECT_EQ(manager.LoadSoundByName("beep"), 255);
  EXPECT_EQ(manager.LoadSoundByName("boop"), 254);
  ASSERT_TRUE(manager.LoadSound(3, "boop"));
  fs::remove("boop.wav");
  EXPECT_EQ(manager.LoadSoundByName("boop"), 3);  // found by name; nothing is read
  EXPECT_EQ(manager.LoadSoundByName("none"), -1);
}

TEST_F(SoundLoadingTest, WriteWavRefusesWhatItCannotWrite) {
  EXPECT_FALSE(manager.WriteWAV(0, "cached\\x.wav", "x.ogg"));  // nothing loaded under the id
  dir.Write("x.wav", WavFile(1, 8000, 8, {1, 2, 3, 4}));
  ASSERT_TRUE(manager.LoadSound(0, "x"));
  EXPECT_FALSE(manager.WriteWAV(0, "", "x.ogg"));
  EXPECT_FALSE(manager.WriteWAV(300, "y.wav", "x.ogg"));
  EXPECT_FALSE(manager.WriteWAV(0, "no-such-folder\\y.wav", "x.ogg"));
  EXPECT_TRUE(manager.WriteWAV(0, "y.wav", "missing.ogg"));
  // The stamp of a missing source is 0, and such a cache is still a valid WAV of the same samples.
  std::string y = ReadFileContents("y.wav");
  EXPECT_EQ(y.substr(46 + 11, 8), std::string(8, '\0'));
}

}  // namespace
}  // namespace soundtest
