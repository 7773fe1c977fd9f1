#include "tests/music/MusicTestSupport.h"

#include <unistd.h>

#include <cstdlib>

#include "framework/sound/MusicInterface.h"
#include "platform/audio/AudioOutput.h"
#include "platform/win/Modules.h"
#include "tests/support/TrackerModule.h"

namespace musictest {

std::string Wav16(int channels, int rate, const std::vector<std::int16_t>& samples) {
  return testsupport::WavFile(channels, rate, 16, testsupport::Pcm16(samples));
}

std::vector<std::int16_t> Ramp(int frames, int first, int step) {
  std::vector<std::int16_t> out;
  for (int i = 0; i < frames; ++i) out.push_back(static_cast<std::int16_t>(first + i * step));
  return out;
}

std::vector<std::int16_t> Constant(int frames, std::int16_t value) {
  return std::vector<std::int16_t>(static_cast<std::size_t>(frames), value);
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

int PlayModuleOrdersOnce(Kit::MusicInterface& music, int id) {
  constexpr std::size_t kPattern = testsupport::kModPatternFrames;
  music.PlayMusic(id, 0, false);
  int first = Peak(RenderLeft(kPattern / 2));
  EXPECT_GT(first, 1000);
  music.PlayMusic(id, 2, true);
  EXPECT_NEAR(Peak(RenderLeft(kPattern / 2)), first / 4, first / 20);
  RenderLeft(kPattern);
  EXPECT_FALSE(music.IsPlaying(id));  // played once, it ended
  return first;
}

HWND FakeWindow() {
  static int window;
  return reinterpret_cast<HWND>(&window);
}

MusicTest::MusicTest() = default;

MusicTest::~MusicTest() { plat::ResetModuleFaults(); }

}  // namespace musictest
