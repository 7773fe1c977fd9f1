// Loading sounds into DirectSound buffers: the order of file names tried, the WAV, MP3 (through
// fmod.dll), OGG (Tremor) and Sun AU readers, and the WAV cache of decoded sounds.
#include <tremor/ivorbisfile.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/sound/DSoundManager.h"
#include "framework/sound/FModLibrary.h"
#include "framework/sound/SoundFileTime.h"
#include "framework/util/PathUtil.h"
#include "platform/audio/WavFormat.h"
#include "platform/audio/WavHeader.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/NewFolders.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

using File = plat::FilePtr;

File OpenForReading(const std::string& name) { return plat::OpenFileForReading(plat::MapPath(name)); }

bool ReadBytes(std::FILE* file, void* dest, std::size_t bytes) { return std::fread(dest, 1, bytes, file) == bytes; }

bool ReadU16(std::FILE* file, std::uint16_t& value) {
  std::uint8_t b[2];
  if (!ReadBytes(file, b, 2)) return false;
  value = plat::audio::ReadLE16(b);
  return true;
}

bool ReadU32(std::FILE* file, std::uint32_t& value) {
  std::uint8_t b[4];
  if (!ReadBytes(file, b, 4)) return false;
  value = plat::audio::ReadLE32(b);
  return true;
}

bool ReadU32BigEndian(std::FILE* file, std::uint32_t& value) {
  std::uint8_t b[4];
  if (!ReadBytes(file, b, 4)) return false;
  value = (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
          (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
  return true;
}

// Bytes from the current position to the end of the file. A claimed data size beyond it cannot be read
// in full, so the reader fails before it asks for a buffer of that size.
long RemainingBytes(std::FILE* file) {
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return end > here ? end - here : 0;
}

void PutLE(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// The cache's private chunk: the source file's name (its length first) and its last-write time.
std::string DependencyChunk(const std::string& sourceFileName, const FILETIME& sourceTime) {
  const auto nameLength = static_cast<std::uint32_t>(std::min<std::size_t>(sourceFileName.size(), 0xffff));
  std::string chunk = "dep ";
  PutLE(chunk, nameLength + 10, 4);
  PutLE(chunk, nameLength, 2);
  chunk.append(sourceFileName, 0, nameLength);
  PutLE(chunk, sourceTime.dwLowDateTime, 4);
  PutLE(chunk, sourceTime.dwHighDateTime, 4);
  return chunk;
}

// One 8-bit mu-law byte to a 16-bit sample, by the piecewise table of the format.
std::int16_t MuLawToLinear(std::uint8_t byte) {
  int m = byte | 0x80;
  int sign = byte >= 0x80 ? 1 : -1;
  int v;
  if (m >= 0xF0) {
    v = (0xFF - m) * 2;
  } else if (m >= 0xE0) {
    v = (0xF7 - m) * 4;
  } else if (m >= 0xD0) {
    v = (0xEB - m) * 8;
  } else if (m >= 0xC0) {
    v = (0xDD - m) * 16;
  } else if (m >= 0xB0) {
    v = (0xCE - m) * 32;
  } else if (m >= 0xA0) {
    v = 12192 - 64 * m;
  } else if (m >= 0x90) {
    v = 22368 - 128 * m;
  } else {
    v = 40672 - 256 * m;
  }
  return static_cast<std::int16_t>(v * sign * 4);
}

// Locks a whole buffer for writing; unlocks on scope exit unless Unlock was called.
class BufferLock {
 public:
  BufferLock(LPDIRECTSOUNDBUFFER buffer, DWORD bytes) : mBuffer(buffer) {
    mLocked = SUCCEEDED(buffer->Lock(0, bytes, &mData, &mBytes, nullptr, nullptr, 0));
  }
  ~BufferLock() { Unlock(); }
  BufferLock(const BufferLock&) = delete;
  BufferLock& operator=(const BufferLock&) = delete;

  bool Locked() const { return mLocked; }
  std::uint8_t* Data() const { return static_cast<std::uint8_t*>(mData); }
  DWORD Bytes() const { return mBytes; }
  bool Unlock() {
    if (!mLocked) return false;
    mLocked = false;
    return SUCCEEDED(mBuffer->Unlock(mData, mBytes, nullptr, 0));
  }

 private:
  LPDIRECTSOUNDBUFFER mBuffer;
  void* mData = nullptr;
  DWORD mBytes = 0;
  bool mLocked = false;
};

}  // namespace

const std::array<DSoundManager::SourceKind, 4> DSoundManager::kSourceKinds = {{
    {".wav", &DSoundManager::LoadWAVSound, false, false},
    {".mp3", &DSoundManager::LoadFModSound, true, true},
    {".ogg", &DSoundManager::LoadOGGSound, false, true},
    {".au", &DSoundManager::LoadAUSound, false, true},
}};

bool DSoundManager::CreateSourceBuffer(unsigned int soundId, int channels, int samplesPerSecond, int bitsPerSample,
                                       DWORD dataSize) {
  if (soundId >= kMaxSounds || !mDirectSound) return false;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(samplesPerSecond);
  format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
  format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
  format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  DSBUFFERDESC desc{};
  desc.dwSize = kDSBufferDescLegacySize;
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                 DSBCAPS_GLOBALFOCUS;
  desc.dwBufferBytes = dataSize;
  desc.lpwfxFormat = &format;
  DiscardSourceBuffer(soundId);
  LPDIRECTSOUNDBUFFER buffer = nullptr;
  if (FAILED(mDirectSound->CreateSoundBuffer(&desc, &buffer, nullptr))) return false;
  mSourceSounds[soundId] = buffer;
  mSourceDataSizes[soundId] = dataSize;
  return true;
}

void DSoundManager::DiscardSourceBuffer(unsigned int soundId) {
  if (soundId >= kMaxSounds) return;
  if (mSourceSounds[soundId]) mSourceSounds[soundId]->Release();
  mSourceSounds[soundId] = nullptr;
  mSourceDataSizes[soundId] = 0;
}

int DSoundManager::LoadSoundByName(const std::string& fileName) {
  for (unsigned int id = 0; id < kMaxSounds; ++id) {
    if (mSourceFileNames[id] == fileName) return static_cast<int>(id);
  }
  for (int id = kMaxSounds - 1; id >= 0; --id) {
    if (!mSourceSounds[static_cast<unsigned int>(id)]) {
      return LoadSound(static_cast<unsigned int>(id), fileName) ? id : -1;
    }
  }
  return -1;
}

bool DSoundManager::LoadSound(unsigned int soundId, const std::string& fileName) {
  if (soundId >= kMaxSounds) return false;
  ReleaseSound(soundId);
  if (!mDirectSound) return true;
  mSourceFileNames[soundId] = fileName;

  bool relative = fileName.size() > 2 && fileName[0] != '\\' && fileName[0] != '/' && fileName[1] != ':';
  std::string cacheName = relative ? "cached\\" + fileName + ".wav" : std::string();
  if (!cacheName.empty()) {
    if (LoadWAVSound(soundId, cacheName)) return true;
    // The folders below "cached" mirror the sound's own, whichever separators its name uses.
    plat::MakeFolders(plat::MapPath(GetFileDir(cacheName)));
  }

  for (const SourceKind& kind : kSourceKinds) {
    if (!Reads(kind)) continue;
    const std::string sourceName = fileName + kind.mExtension;
    if (!(this->*kind.mRead)(soundId, sourceName)) continue;
    if (kind.mCached) WriteWAV(soundId, cacheName, sourceName);
    return true;
  }
  return false;
}

bool DSoundManager::LoadWAVSound(unsigned int soundId, const std::string& fileName) {
  if (soundId >= kMaxSounds) return false;
  File file = OpenForReading(fileName);
  if (!file) return false;
  char tag[4];
  std::uint32_t riffSize = 0;
  if (!ReadBytes(file.get(), tag, 4) || std::memcmp(tag, "RIFF", 4) != 0) return false;
  if (!ReadU32(file.get(), riffSize)) return false;
  if (!ReadBytes(file.get(), tag, 4) || std::memcmp(tag, "WAVE", 4) != 0) return false;

  std::uint16_t channels = 1;
  std::uint32_t samplesPerSecond = 22050;
  std::uint16_t bitsPerSample = 16;
  for (;;) {
    std::uint32_t chunkSize = 0;
    if (!ReadBytes(file.get(), tag, 4) || !ReadU32(file.get(), chunkSize)) return false;
    long chunkStart = std::ftell(file.get());
    if (std::memcmp(tag, "fmt ", 4) == 0) {
      std::uint16_t formatTag = 0, blockAlign = 0;
      std::uint32_t bytesPerSecond = 0;
      if (!ReadU16(file.get(), formatTag) || !ReadU16(file.get(), channels) || !ReadU32(file.get(), samplesPerSecond) ||
          !ReadU32(file.get(), bytesPerSecond) || !ReadU16(file.get(), blockAlign) ||
          !ReadU16(file.get(), bitsPerSample)) {
        return false;
      }
      if (formatTag != WAVE_FORMAT_PCM) return false;
    } else if (std::memcmp(tag, "dep ", 4) == 0) {
      std::uint16_t length = 0;
      if (!ReadU16(file.get(), length)) return false;
      std::string source(std::min<std::uint16_t>(length, 255), '\0');
      if (!ReadBytes(file.get(), source.data(), source.size())) return false;
      std::uint32_t low = 0, high = 0;
      if (!ReadU32(file.get(), low) || !ReadU32(file.get(), high)) return false;
      FILETIME current{};
      GetTheFileTime(source, &current);
      if (current.dwLowDateTime != low || current.dwHighDateTime != high) return false;
    } else if (std::memcmp(tag, "data", 4) == 0) {
      if (chunkSize > static_cast<unsigned long>(RemainingBytes(file.get()))) return false;
      if (samplesPerSecond > 0x7fffffffu ||
          !CreateSourceBuffer(soundId, channels, static_cast<int>(samplesPerSecond), bitsPerSample, chunkSize)) {
        return false;
      }
      BufferLock lock(mSourceSounds[soundId], chunkSize);
      if (!lock.Locked()) {
        DiscardSourceBuffer(soundId);
        return false;
      }
      std::size_t read = std::fread(lock.Data(), 1, lock.Bytes(), file.get());
      file.reset();
      bool ok = lock.Unlock() && read == chunkSize;
      if (!ok) DiscardSourceBuffer(soundId);
      return ok;
    }
    if (chunkStart < 0 || std::fseek(file.get(), chunkStart + static_cast<long>(chunkSize), SEEK_SET) != 0)
      return false;
  }
}

bool DSoundManager::LoadFModSound(unsigned int soundId, const std::string& fileName) {
  if (!mHaveFMod || !gFModInstance || soundId >= kMaxSounds) return false;
  FMOD_INSTANCE& fmod = *gFModInstance;
  FSOUND_SAMPLE* sample = fmod.FSOUND_Sample_Load(FSOUND_FREE, fileName.c_str(), 0, 0);
  if (!sample) return false;
  unsigned int mode = fmod.FSOUND_Sample_GetMode(sample);
  int frequency = 0;
  fmod.FSOUND_Sample_GetDefaults(sample, &frequency, nullptr, nullptr, nullptr);
  int channels = (mode & FSOUND_MONO) ? 1 : 2;
  int bits = (mode & FSOUND_8BITS) ? 8 : 16;
  std::uint64_t dataSize = static_cast<std::uint64_t>(fmod.FSOUND_Sample_GetLength(sample)) * (channels * bits / 8);
  if (dataSize > DSBSIZE_MAX || !CreateSourceBuffer(soundId, channels, frequency, bits, static_cast<DWORD>(dataSize))) {
    fmod.FSOUND_Sample_Free(sample);
    return false;
  }
  BufferLock lock(mSourceSounds[soundId], static_cast<DWORD>(dataSize));
  if (!lock.Locked()) {
    fmod.FSOUND_Sample_Free(sample);
    DiscardSourceBuffer(soundId);
    return false;
  }
  void *part1 = nullptr, *part2 = nullptr;
  unsigned int length1 = 0, length2 = 0;
  if (fmod.FSOUND_Sample_Lock(sample, 0, static_cast<int>(dataSize), &part1, &part2, &length1, &length2)) {
    std::memcpy(lock.Data(), part1, std::min<std::size_t>(length1, lock.Bytes()));
    fmod.FSOUND_Sample_Unlock(sample, part1, part2, length1, length2);
  }
  lock.Unlock();
  fmod.FSOUND_Sample_Free(sample);
  return true;
}

bool DSoundManager::LoadOGGSound(unsigned int soundId, const std::string& fileName) {
  if (soundId >= kMaxSounds) return false;
  std::FILE* file = OpenForReading(fileName).release();
  if (!file) return false;
  OggVorbis_File vorbis;
  if (ov_open(file, &vorbis, nullptr, 0) < 0) {
    std::fclose(file);
    return false;
  }
  // From here the decoder owns the file; ov_clear closes it.
  struct Clear {
    OggVorbis_File* vorbis;
    ~Clear() { ov_clear(vorbis); }
  } clear{&vorbis};

  vorbis_info* info = ov_info(&vorbis, -1);
  if (!info) return false;
  int blockAlign = info->channels * 2;
  ogg_int64_t frames = ov_pcm_total(&vorbis, -1);
  // A stream that cannot tell its length (or claims an impossible one) cannot fill a static buffer.
  if (frames <= 0 || blockAlign <= 0 || frames > static_cast<ogg_int64_t>(DSBSIZE_MAX / blockAlign)) return false;
  DWORD dataSize = static_cast<DWORD>(frames * blockAlign);
  if (!CreateSourceBuffer(soundId, info->channels, static_cast<int>(info->rate), 16, dataSize)) return false;
  BufferLock lock(mSourceSounds[soundId], dataSize);
  if (!lock.Locked()) {
    DiscardSourceBuffer(soundId);
    return false;
  }
  DWORD filled = 0;
  while (filled < dataSize) {
    int bitstream = 0;
    long got = ov_read(&vorbis, reinterpret_cast<char*>(lock.Data()) + filled, static_cast<int>(dataSize - filled),
                       &bitstream);
    if (got <= 0) break;
    filled += static_cast<DWORD>(got);
  }
  bool ok = lock.Unlock() && filled == dataSize;
  if (!ok) DiscardSourceBuffer(soundId);
  return ok;
}

bool DSoundManager::LoadAUSound(unsigned int soundId, const std::string& fileName) {
  if (soundId >= kMaxSounds) return false;
  File file = OpenForReading(fileName);
  if (!file) return false;
  char magic[4];
  std::uint32_t dataOffset = 0, dataSize = 0, encoding = 0, rate = 0, channels = 0;
  if (!ReadBytes(file.get(), magic, 4) || std::memcmp(magic, ".snd", 4) != 0) return false;
  if (!ReadU32BigEndian(file.get(), dataOffset) || !ReadU32BigEndian(file.get(), dataSize) ||
      !ReadU32BigEndian(file.get(), encoding) || !ReadU32BigEndian(file.get(), rate) ||
      !ReadU32BigEndian(file.get(), channels)) {
    return false;
  }
  if (dataOffset > 0x7fffffffu || std::fseek(file.get(), static_cast<long>(dataOffset), SEEK_SET) != 0) return false;
  int bits;
  if (encoding == 1) {
    bits = 16;
  } else if (encoding == 2) {
    bits = 8;
  } else {
    return false;
  }
  if (dataSize > static_cast<unsigned long>(RemainingBytes(file.get())) || rate > 0x7fffffffu || channels > 0xffff) {
    return false;
  }
  std::uint64_t bufferSize = static_cast<std::uint64_t>(bits) * dataSize / 8;
  if (bufferSize > DSBSIZE_MAX || !CreateSourceBuffer(soundId, static_cast<int>(channels), static_cast<int>(rate), bits,
                                                      static_cast<DWORD>(bufferSize))) {
    return false;
  }
  BufferLock lock(mSourceSounds[soundId], static_cast<DWORD>(bufferSize));
  if (!lock.Locked()) {
    DiscardSourceBuffer(soundId);
    return false;
  }
  std::vector<std::uint8_t> data(dataSize);
  std::size_t read = std::fread(data.data(), 1, dataSize, file.get());
  file.reset();
  if (encoding == 1) {
    for (std::size_t i = 0; i < read; ++i) {
      std::int16_t sample = MuLawToLinear(data[i]);
      std::memcpy(lock.Data() + 2 * i, &sample, 2);
    }
  } else {
    // AU's 8-bit linear samples are signed; DirectSound's 8-bit samples are unsigned around 0x80.
    for (std::size_t i = 0; i < read; ++i) lock.Data()[i] = static_cast<std::uint8_t>(data[i] ^ 0x80);
  }
  bool ok = lock.Unlock() && read == dataSize;
  if (!ok) DiscardSourceBuffer(soundId);
  return ok;
}

bool DSoundManager::WriteWAV(unsigned int soundId, const std::string& cacheFileName,
                             const std::string& sourceFileName) {
  if (cacheFileName.empty() || soundId >= kMaxSounds || !mSourceSounds[soundId]) return false;
  LPDIRECTSOUNDBUFFER buffer = mSourceSounds[soundId];
  DWORD dataSize = mSourceDataSizes[soundId];
  void* data = nullptr;
  DWORD locked = 0;
  if (FAILED(buffer->Lock(0, dataSize, &data, &locked, nullptr, nullptr, 0))) return false;
  WAVEFORMATEX format{};
  buffer->GetFormat(&format, sizeof format, nullptr);
  FILETIME sourceTime{};
  GetTheFileTime(sourceFileName, &sourceTime);

  const plat::audio::PcmFormat shape{format.nChannels, static_cast<int>(format.nSamplesPerSec), format.wBitsPerSample};
  std::string file = plat::audio::WavHeader(shape, dataSize, DependencyChunk(sourceFileName, sourceTime));
  file.append(static_cast<const char*>(data), locked);
  // Written whole or not at all: a cut-off cache file would only be rejected on the next start.
  const bool written = plat::ReplaceFileContents(plat::MapPath(cacheFileName), file);
  const bool unlocked = SUCCEEDED(buffer->Unlock(data, locked, nullptr, 0));
  return written && unlocked;
}

}  // namespace Kit
