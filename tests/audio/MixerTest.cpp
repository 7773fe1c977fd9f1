#include "platform/audio/Mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace plat::audio {
namespace {

std::shared_ptr<SampleBuffer> Mono16(const std::vector<std::int16_t>& samples, int rate = 44100) {
  auto buffer = std::make_shared<SampleBuffer>(PcmFormat{1, rate, 16}, samples.size() * 2);
  std::memcpy(buffer->Data(), samples.data(), samples.size() * 2);
  return buffer;
}

std::vector<std::int16_t> MixFrames(Mixer& mixer, std::size_t frames) {
  std::vector<std::int16_t> out(2 * frames);
  mixer.Mix(out.data(), frames);
  return out;
}

// Voices of the same mono samples played together: what each side hears, and whether they play on.
TEST(Mixer, VoicesPlayedOutGiveTheExpectedSamples) {
  struct Case {
    const char* what;
    std::vector<std::int16_t> samples;
    int rate, voices;
    bool loop;
    std::size_t loopFrom;  // the loop region's start; 0: the whole buffer
    bool playingAfter;
    std::vector<std::int16_t> left, right = {};  // right: as left unless given
    float gain[4] = {1, 1, 1, 1};                // the voices' left and right, the master's left and right
  };
  const Case cases[] = {
      {"no voice", {5}, 44100, 0, false, 0, false, {0, 0, 0}},
      {"played once, then silence", {7, 8, 9}, 44100, 1, false, 0, false, {7, 8, 9, 0, 0}},
      {"half rate", {0, 1000, 2000, 3000}, 22050, 1, false, 0, false, {0, 500, 1000, 1500, 2000, 2500, 3000, 3000, 0}},
      {"looped", {10, 20, 30, 40}, 44100, 1, true, 0, true, {10, 20, 30, 40, 10, 20, 30, 40, 10, 20}},
      {"a loop region repeats its part", {10, 20, 30, 40}, 44100, 1, true, 2, true, {10, 20, 30, 40, 30, 40, 30, 40}},
      {"loud voices saturate", {30000, -30000}, 44100, 2, false, 0, true, {32767, -32768}},
      {"voice gain", {8000, -8000}, 44100, 1, false, 0, true, {4000, -4000}, {2000, -2000}, {0.5f, 0.25f, 1, 1}},
      {"master gain", {8000}, 44100, 1, false, 0, true, {4000}, {0}, {1, 1, 0.5f, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Mixer mixer;
    mixer.SetMasterGain(c.gain[2], c.gain[3]);
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < c.voices; ++i) {
      voices.push_back(mixer.CreateVoice(Mono16(c.samples, c.rate)));
      if (c.loopFrom) voices.back()->SetLoopRegion(c.loopFrom, c.samples.size());
      voices.back()->SetGain(c.gain[0], c.gain[1]);
      voices.back()->Play(c.loop);
    }
    const auto out = MixFrames(mixer, c.left.size());
    std::vector<std::int16_t> left, right;
    for (std::size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]), right.push_back(out[i + 1]);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right.empty() ? c.left : c.right);
    for (const auto& voice : voices) {
      EXPECT_EQ(voice->IsPlaying(), c.playingAfter);
      if (!c.playingAfter) {
        EXPECT_EQ(voice->Position(), 0u);  // rewound
      }
    }
  }
}

TEST(Mixer, FrequencyIsClampedToTheSupportedRange) {
  Mixer mixer;
  auto voice = mixer.CreateVoice(Mono16({1, 2}));
  voice->SetFrequency(5);
  EXPECT_EQ(voice->Frequency(), kMinRate);
  voice->SetFrequency(1'000'000);
  EXPECT_EQ(voice->Frequency(), kMaxRate);
}

TEST(Mixer, EightBitStereoIsCenteredAndSidesStaySeparate) {
  auto buffer = std::make_shared<SampleBuffer>(PcmFormat{2, 44100, 8}, 4);
  const std::uint8_t bytes[] = {0x80, 0xFF, 0x00, 0x80};
  std::memcpy(buffer->Data(), bytes, 4);
  Mixer mixer;
  auto voice = mixer.CreateVoice(buffer);
  voice->Play(false);
  auto out = MixFrames(mixer, 2);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 127 * 256);
  EXPECT_EQ(out[2], -128 * 256);
  EXPECT_EQ(out[3], 0);
}

TEST(Mixer, NewEightBitBufferIsSilence) {
  SampleBuffer buffer(PcmFormat{1, 8000, 8}, 16);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(buffer.Data()[i], 0x80);
}

TEST(Mixer, OpenWriteSilencesTheVoiceButTimeGoesOn) {
  Mixer mixer;
  auto buffer = Mono16(std::vector<std::int16_t>(100, 700));
  auto voice = mixer.CreateVoice(buffer);
  voice->Play(false);
  buffer->BeginWrite();
  auto out = MixFrames(mixer, 10);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(voice->Position(), 10u);
  buffer->EndWrite();
  out = MixFrames(mixer, 1);
  EXPECT_EQ(out[0], 700);
}

TEST(Mixer, SkipMovesVoicesWithoutRendering) {
  Mixer mixer;
  auto once = mixer.CreateVoice(Mono16(std::vector<std::int16_t>(1000, 1)));
  auto looped = mixer.CreateVoice(Mono16(std::vector<std::int16_t>(1000, 1)));
  once->Play(false);
  looped->Play(true);
  mixer.Skip(999);
  EXPECT_TRUE(once->IsPlaying());
  EXPECT_EQ(once->Position(), 999u);
  mixer.Skip(1);
  EXPECT_FALSE(once->IsPlaying());
  mixer.Skip(44100ull * 3600);  // an hour later the loop is still going and in range
  EXPECT_TRUE(looped->IsPlaying());
  EXPECT_LT(looped->Position(), 1000u);
  EXPECT_EQ(mixer.PlayingVoiceCount(), 1u);
}

TEST(Mixer, StreamVoicePullsFramesAndEndsWhenTheSourceRunsDry) {
  Mixer mixer;
  std::int16_t next = 0;
  std::size_t limit = 300;
  auto voice = mixer.CreateStreamVoice(PcmFormat{1, 44100, 16}, [&](std::uint8_t* dest, std::size_t bytes) {
    std::size_t frames = std::min(bytes / 2, limit);
    limit -= frames;
    for (std::size_t i = 0; i < frames; ++i, ++next) std::memcpy(dest + 2 * i, &next, 2);
    return frames * 2;
  });
  voice->Play(false);
  auto out = MixFrames(mixer, 100);
  for (std::size_t i = 0; i < 100; ++i) ASSERT_EQ(out[2 * i], static_cast<std::int16_t>(i));
  EXPECT_EQ(voice->Position(), 100u);
  out = MixFrames(mixer, 250);
  EXPECT_EQ(out[2 * 199], 299);
  EXPECT_EQ(out[2 * 200], 0);
  EXPECT_FALSE(voice->IsPlaying());
}

TEST(Mixer, VoicesComeAndGoWhileAnotherThreadMixes) {
  Mixer mixer;
  auto buffer = Mono16(std::vector<std::int16_t>(4096, 100));
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<std::int16_t> out(2 * 256);
    while (!done) mixer.Mix(out.data(), 256);
  });
  for (int i = 0; i < 2000; ++i) {
    auto voice = mixer.CreateVoice(buffer);
    voice->SetGain(0.5f, 0.5f);
    voice->Play(i % 2 == 0);
    if (i % 3 == 0) {
      buffer->BeginWrite();
      buffer->Data()[0] = static_cast<std::uint8_t>(i);
      buffer->EndWrite();
    }
  }
  done = true;
  audio.join();
  EXPECT_EQ(mixer.VoiceCount(), 0u);
}

}  // namespace
}  // namespace plat::audio
