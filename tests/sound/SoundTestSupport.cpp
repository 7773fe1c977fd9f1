#include "tests/sound/SoundTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/audio/AudioOutput.h"
#include "platform/dsound/DSoundFaults.h"
#include "platform/win/Modules.h"

namespace soundtest {

namespace {

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}
void Put32Big(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v >> 24);
  out += static_cast<char>((v >> 16) & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
  out += static_cast<char>(v & 0xff);
}

}  // namespace

std::string WavFile(int channels, int rate, int bits, const std::vector<std::uint8_t>& data, int formatTag,
                    bool extraFmtBytes) {
  std::string fmt;
  Put16(fmt, static_cast<std::uint32_t>(formatTag));
  Put16(fmt, static_cast<std::uint32_t>(channels));
  Put32(fmt, static_cast<std::uint32_t>(rate));
  Put32(fmt, static_cast<std::uint32_t>(rate * channels * bits / 8));
  Put16(fmt, static_cast<std::uint32_t>(channels * bits / 8));
  Put16(fmt, static_cast<std::uint32_t>(bits));
  if (extraFmtBytes) Put16(fmt, 0);
  std::string out = "RIFF";
  Put32(out, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
  out += "WAVEfmt ";
  Put32(out, static_cast<std::uint32_t>(fmt.size()));
  out += fmt;
  out += "data";
  Put32(out, static_cast<std::uint32_t>(data.size()));
  out.append(data.begin(), data.end());
  return out;
}

std::vector<std::uint8_t> Pcm16(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> out;
  for (std::int16_t s : samples) {
    out.push_back(static_cast<std::uint8_t>(s & 0xff));
    out.push_back(static_cast<std::uint8_t>((static_cast<std::uint16_t>(s) >> 8) & 0xff));
  }
  return out;
}

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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

int InspectableDSoundManager::BusyChannels() const {
  int busy = 0;
  for (auto* instance : playingSounds) busy += instance != nullptr;
  return busy;
}

std::vector<std::uint8_t> InspectableDSoundManager::Bytes(unsigned int id) const {
  std::vector<std::uint8_t> bytes;
  LPDIRECTSOUNDBUFFER buffer = sourceSounds[id];
  if (!buffer) return bytes;
  void* data = nullptr;
  DWORD size = 0;
  if (FAILED(buffer->Lock(0, sourceDataSizes[id], &data, &size, nullptr, nullptr, 0))) return bytes;
  bytes.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  buffer->Unlock(data, size, nullptr, 0);
  return bytes;
}

WAVEFORMATEX InspectableDSoundManager::Format(unsigned int id) const {
  WAVEFORMATEX format{};
  if (sourceSounds[id]) sourceSounds[id]->GetFormat(&format, sizeof format, nullptr);
  return format;
}

HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150)); }

SoundTest::SoundTest() {
  mPreviousFolder = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  dsound = LoadLibrary("dsound.dll");
  plat::audio::CatchUp();
}

SoundTest::~SoundTest() {
  FreeLibrary(dsound);
  plat::ResetDSoundFaults();
  plat::ResetModuleFaults();
  std::filesystem::current_path(mPreviousFolder);
}

}  // namespace soundtest
