// The whole road of a music track to a sound card: the BASS player, the layer's "bass.dll", the shared
// mixer and the SDL audio device, with SDL's "disk" driver standing in for the card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "framework/sound/BassMusicInterface.h"
#include "platform/audio/AudioOutput.h"
#include "tests/music/MusicTestSupport.h"
#include "tests/support/TempDir.h"

namespace musictest {
namespace {

// Plays the track and exits 0 when the device wrote loud samples out; runs in a fresh process.
[[noreturn]] void PlayTrackThroughDiskDevice(const testsupport::TempDir& dir) {
  std::string output = dir / "device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  std::string track = dir.Write("music/start.ogg", ReadTestData("sound/tone_stereo_44100.ogg"));
  {
    Kit::BassMusicInterface music(FakeWindow());
    if (!plat::audio::HasOutputDevice()) std::exit(2);
    if (!music.LoadMusic(0, track)) std::exit(3);
    music.SetVolume(0.75);
    music.PlayMusic(0, 0, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  std::ifstream in(output, std::ios::binary);
  std::vector<char> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int peak = 0;
  for (std::size_t i = 0; i + 1 < written.size(); i += 2) {
    std::int16_t sample;
    std::memcpy(&sample, &written[i], 2);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  std::exit(peak > 1000 ? 0 : 4);
}

TEST(MusicDeviceDeathTest, TrackIsHeardOnTheAudioDevice) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  testsupport::TempDir dir;
  EXPECT_EXIT(PlayTrackThroughDiskDevice(dir), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace musictest
