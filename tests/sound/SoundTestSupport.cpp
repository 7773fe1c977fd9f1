#include "tests/sound/SoundTestSupport.h"

#include "platform/audio/AudioOutput.h"
#include "platform/win/modules/Modules.h"

namespace soundtest {

namespace {

void Put32Big(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>((v >> 16) & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
  out += static_cast<char>(v & 0xff);
}

}  // namespace

std::string AuFile(std::uint32_t encoding, std::uint32_t rate, std::uint32_t channels,
                   const std::vector<std::uint8_t>& data) {
  std::string out = ".snd";
  Put32Big(out, 28);  // header plus a 4-byte annotation
  Put32Big(out, static_cast<std::uint32_t>(data.size()));
  Put32Big(out, encoding);
  Put32Big(out, rate);
  Put32Big(out, channels);
  out += "note";
  out.append(data.begin(), data.end());
  return out;
}

int InspectableDSoundManager::BusyChannels() const {
  int busy = 0;
  for (auto* instance : mPlayingSounds) busy += instance != nullptr;
  return busy;
}

std::vector<std::uint8_t> InspectableDSoundManager::Bytes(unsigned int id) const {
  std::vector<std::uint8_t> bytes;
  LPDIRECTSOUNDBUFFER buffer = mSourceSounds[id];
  if (!buffer) return bytes;
  void* data = nullptr;
  DWORD size = 0;
  if (FAILED(buffer->Lock(0, mSourceDataSizes[id], &data, &size, nullptr, nullptr, 0))) return bytes;
  bytes.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  buffer->Unlock(data, size, nullptr, 0);
  return bytes;
}

WAVEFORMATEX InspectableDSoundManager::Format(unsigned int id) const {
  WAVEFORMATEX format{};
  if (mSourceSounds[id]) mSourceSounds[id]->GetFormat(&format, sizeof format, nullptr);
  return format;
}

SoundTest::SoundTest() {
  dsound = LoadLibrary("dsound.dll");
  plat::audio::CatchUp();
}

SoundTest::~SoundTest() { FreeLibrary(dsound); }

}  // namespace soundtest
