#include "tests/support/AudioFixture.h"

#include <cstdlib>

#include "framework/sound/MusicInterface.h"
#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/win/modules/Modules.h"
#include "tests/support/TrackerModule.h"

namespace testsupport {

HWND FakeWindow() {
  static int window;
  return reinterpret_cast<HWND>(&window);
}

std::string MonoWav(int rate, int frames, int first, int step) {
  std::vector<std::int16_t> samples;
  for (int i = 0; i < frames; ++i) samples.push_back(static_cast<std::int16_t>(first + i * step));
  return WavFile(1, rate, 16, Pcm16(samples));
}

std::vector<std::int16_t> RenderLeft(std::size_t frames) {
  std::vector<std::int16_t> stereo(2 * frames);
  plat::audio::SharedMixer().Mix(stereo.data(), frames);
  std::vector<std::int16_t> left(frames);
  for (std::size_t i = 0; i < frames; ++i) left[i] = stereo[2 * i];
  return left;
}

int Peak(const std::vector<std::int16_t>& samples) {
  int peak = 0;
  for (std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

std::pair<int, int> Heard() {
  plat::audio::CatchUp();
  std::int16_t frame[2];
  plat::audio::SharedMixer().Mix(frame, 1);
  return {frame[0], frame[1]};
}

int PlayModuleOrdersOnce(Kit::MusicInterface& music, int id) {
  constexpr std::size_t kPattern = kModPatternFrames;
  music.PlayMusic(id, 0, false);
  int first = Peak(RenderLeft(kPattern / 2));
  EXPECT_GT(first, 1000);
  music.PlayMusic(id, 2, true);
  EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first / 4, first / 20);
  RenderLeft(kPattern);
  EXPECT_FALSE(music.IsPlaying(id));  // played once, it ended
  return first;
}

AudioTest::~AudioTest() {
  plat::ResetDSoundFaults();
  plat::ResetModuleFaults();
}

}  // namespace testsupport
