#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSound.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/win/Modules.h"
#include "platform/win/Time.h"

namespace {

HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234)); }

constexpr DWORD kEffectFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                               DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;

class DirectSoundTest : public testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibrary("dsound.dll");
    ASSERT_NE(module, nullptr);
    auto create = reinterpret_cast<LPDIRECTSOUNDCREATE>(GetProcAddress(module, "DirectSoundCreate"));
    ASSERT_NE(create, nullptr);
    ASSERT_EQ(create(nullptr, &ds, nullptr), DS_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
    plat::audio::CatchUp();  // start the headless clock at the fake clock's time
  }
  void TearDown() override {
    if (ds) ds->Release();
    FreeLibrary(module);
    plat::ResetDSoundFaults();
  }

  // A mono 16-bit buffer holding `samples`.
  LPDIRECTSOUNDBUFFER MakeBuffer(const std::vector<std::int16_t>& samples, int rate = 44100,
                                 DWORD flags = kEffectFlags) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, static_cast<DWORD>(rate), static_cast<DWORD>(rate * 2), 2, 16, 0};
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), flags, static_cast<DWORD>(samples.size() * 2), 0, &format};
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (!buffer) return nullptr;
    void* p1 = nullptr;
    DWORD n1 = 0;
    EXPECT_EQ(buffer->Lock(0, desc.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    std::memcpy(p1, samples.data(), n1);
    EXPECT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    return buffer;
  }

  static std::vector<std::int16_t> MixShared(std::size_t frames) {
    std::vector<std::int16_t> out(2 * frames);
    plat::audio::SharedMixer().Mix(out.data(), frames);
    return out;
  }

  plat::FakeClock clock;
  plat::ScopedClock useClock{clock};
  HMODULE module = nullptr;
  LPDIRECTSOUND ds = nullptr;
};

TEST_F(DirectSoundTest, PlayedBufferSoundsAtItsVolumeAndPanAndStopsByItselfAtTheEnd) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<std::int16_t>(44100, 10000));
  ASSERT_EQ(buffer->SetVolume(-600), DS_OK);  // -6 dB: about half
  ASSERT_EQ(buffer->SetPan(2000), DS_OK);     // the left side a further 10 times quieter
  ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
  DWORD status = 0;
  ASSERT_EQ(buffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, DSBSTATUS_PLAYING);
  auto out = MixShared(16);
  EXPECT_NEAR(out[1], 10000 * std::pow(10.0, -0.3), 2);
  EXPECT_NEAR(out[0], 10000 * std::pow(10.0, -0.3) / 10, 2);

  clock.AdvanceMillis(999);
  buffer->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING);
  clock.AdvanceMillis(2);
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  buffer->Release();
}

TEST_F(DirectSoundTest, LoopingBufferKeepsPlayingAndReportsLooping) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<std::int16_t>(441, 1));
  buffer->Play(0, 0, DSBPLAY_LOOPING);
  clock.AdvanceMillis(5000);
  DWORD status = 0;
  buffer->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  buffer->Stop();
  buffer->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  buffer->Release();
}

TEST_F(DirectSoundTest, PositionMovesWithTimeAndCanBeSetAndRewound) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<std::int16_t>(44100, 1));
  buffer->Play(0, 0, 0);
  clock.AdvanceMillis(100);
  DWORD play = 0, write = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 4410u * 2);
  EXPECT_GT(write, play);
  buffer->Stop();
  ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
  buffer->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(buffer->SetCurrentPosition(44100 * 2), DSERR_INVALIDPARAM);
  buffer->Release();
}

TEST_F(DirectSoundTest, VolumePanAndFrequencyCheckRangesAndCapabilities) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer({1, 2, 3, 4}, 22050);
  EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetVolume(-10000), DS_OK);
  LONG volume = 0;
  buffer->GetVolume(&volume);
  EXPECT_EQ(volume, -10000);
  EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(100001), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetFrequency(100000), DS_OK);
  DWORD frequency = 0;
  buffer->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 100000u);
  EXPECT_EQ(buffer->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  buffer->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 22050u);
  buffer->Release();

  LPDIRECTSOUNDBUFFER plain = MakeBuffer({1, 2}, 22050, DSBCAPS_STATIC);
  EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetFrequency(8000), DSERR_CONTROLUNAVAIL);
  plain->Release();
}

TEST_F(DirectSoundTest, SilentVolumeMixesNothing) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<std::int16_t>(100, 30000));
  buffer->SetVolume(DSBVOLUME_MIN);
  buffer->Play(0, 0, 0);
  auto out = MixShared(10);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
  buffer->Release();
}

TEST_F(DirectSoundTest, DuplicatesShareSamplesPlayIndependentlyAndOutliveTheOriginal) {
  LPDIRECTSOUNDBUFFER original = MakeBuffer(std::vector<std::int16_t>(4410, 1000), 22050);
  original->SetVolume(-1000);
  LPDIRECTSOUNDBUFFER copy = nullptr;
  ASSERT_EQ(ds->DuplicateSoundBuffer(original, &copy), DS_OK);
  LONG volume = 0;
  copy->GetVolume(&volume);
  EXPECT_EQ(volume, -1000);
  DWORD frequency = 0;
  copy->GetFrequency(&frequency);
  EXPECT_EQ(frequency, 22050u);
  EXPECT_EQ(original->Release(), 0u);
  copy->SetVolume(0);
  copy->Play(0, 0, 0);
  auto out = MixShared(4);
  EXPECT_EQ(out[0], 1000);
  WAVEFORMATEX format{};
  DWORD written = 0;
  ASSERT_EQ(copy->GetFormat(&format, sizeof format, &written), DS_OK);
  EXPECT_EQ(format.nSamplesPerSec, 22050u);
  EXPECT_EQ(format.nBlockAlign, 2);
  copy->Release();
}

TEST_F(DirectSoundTest, LockWrapsAroundAndUnlockChecksItsPointers) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<std::int16_t>(8, 0));
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(buffer->Lock(12, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 4u);
  EXPECT_EQ(n2, 4u);
  EXPECT_EQ(static_cast<std::uint8_t*>(p1) - static_cast<std::uint8_t*>(p2), 12);
  EXPECT_EQ(buffer->Unlock(p2, n1, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
  EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(0, 17, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->Lock(16, 1, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
  ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(n1, 16u);
  buffer->Release();  // releasing with a lock still open must not leave the data blocked for others
}

TEST_F(DirectSoundTest, BadBufferDescriptionsAreRefused) {
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  DSBUFFERDESC desc{sizeof(DSBUFFERDESC), kEffectFlags, 400, 0, &format};
  LPDIRECTSOUNDBUFFER buffer = nullptr;
  desc.dwSize = 16;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
  desc.dwSize = 20;
  desc.dwBufferBytes = 0;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
  desc.dwBufferBytes = DSBSIZE_MAX + 1;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
  desc.dwBufferBytes = 400;
  format.wFormatTag = 3;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 6;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
  format.nChannels = 2;
  format.wBitsPerSample = 24;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
  format.wBitsPerSample = 16;
  format.nSamplesPerSec = 50;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_BADFORMAT);
  format.nSamplesPerSec = 44100;
  format.nBlockAlign = 3;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_INVALIDPARAM);
  format.nBlockAlign = 4;
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->SetFormat(&format), DSERR_INVALIDCALL);
  buffer->Release();
}

TEST_F(DirectSoundTest, PrimaryBufferTakesAFormatOnlyAtPriorityLevel) {
  DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  EXPECT_EQ(primary->SetFormat(&format), DS_OK);
  WAVEFORMATEX read{};
  primary->GetFormat(&read, sizeof read, nullptr);
  EXPECT_EQ(read.nSamplesPerSec, 44100u);
  void* p = nullptr;
  DWORD n = 0;
  EXPECT_EQ(primary->Lock(0, 4, &p, &n, nullptr, nullptr, 0), DSERR_PRIOLEVELNEEDED);
  LPDIRECTSOUNDBUFFER copy = nullptr;
  EXPECT_EQ(ds->DuplicateSoundBuffer(primary, &copy), DSERR_INVALIDCALL);
  ds->SetCooperativeLevel(FakeWindow(), DSSCL_NORMAL);
  EXPECT_EQ(primary->SetFormat(&format), DSERR_PRIOLEVELNEEDED);
  primary->Release();
}

TEST_F(DirectSoundTest, InjectedFaultsAreReturnedUntilCleared) {
  auto create = reinterpret_cast<LPDIRECTSOUNDCREATE>(GetProcAddress(module, "DirectSoundCreate"));
  plat::SetDSoundFault(plat::DSoundCall::Create, DSERR_NODRIVER);
  LPDIRECTSOUND other = nullptr;
  EXPECT_EQ(create(nullptr, &other, nullptr), DSERR_NODRIVER);
  plat::ClearDSoundFault(plat::DSoundCall::Create);
  ASSERT_EQ(create(nullptr, &other, nullptr), DS_OK);
  other->Release();

  LPDIRECTSOUNDBUFFER buffer = MakeBuffer({1, 2});
  plat::SetDSoundFault(plat::DSoundCall::DuplicateSoundBuffer, DSERR_OUTOFMEMORY);
  LPDIRECTSOUNDBUFFER copy = nullptr;
  EXPECT_EQ(ds->DuplicateSoundBuffer(buffer, &copy), DSERR_OUTOFMEMORY);
  plat::SetDSoundFault(plat::DSoundCall::Play, DSERR_BUFFERLOST);
  EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_BUFFERLOST);
  plat::SetDSoundFault(plat::DSoundCall::SetCooperativeLevel, DSERR_ALLOCATED);
  EXPECT_EQ(ds->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DSERR_ALLOCATED);
  buffer->Release();
}

TEST(DirectSoundCreate, RefusesUnknownDevicesAndAggregation) {
  GUID someDevice{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  LPDIRECTSOUND ds = nullptr;
  EXPECT_EQ(DirectSoundCreate(&someDevice, &ds, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(ds, nullptr);
  EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
}

}  // namespace
