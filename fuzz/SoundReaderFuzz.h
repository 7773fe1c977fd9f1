// Runs one of the sound manager's file readers on the fuzz input, then plays what it loaded through the
// mixer, so that a header that lies about its sizes shows up as a read past the buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/sound/DSoundManager.h"
#include "fuzz/FuzzInputFile.h"
#include "platform/audio/AudioOutput.h"
#include "platform/win/modules/Modules.h"

namespace fuzzsupport {

using SoundReader = bool (Kit::DSoundManager::*)(unsigned int, const std::string&);

inline int FuzzSoundReader(const uint8_t* data, size_t size, const char* extension, SoundReader reader) {
  static HMODULE dsound = LoadLibrary("dsound.dll");
  static Kit::DSoundManager manager(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1)), false);
  (void)dsound;
  std::string path = WriteInputFile(data, size, extension);
  if ((manager.*reader)(0, path)) {
    if (Kit::SoundInstance* instance = manager.GetSoundInstance(0)) {
      instance->AdjustPitch(5);
      instance->Play(true, false);
      std::vector<std::int16_t> out(2 * 512);
      plat::audio::SharedMixer().Mix(out.data(), 512);
      instance->Release();
    }
    manager.ReleaseChannels();
    manager.ReleaseSound(0);
  }
  return 0;
}

}  // namespace fuzzsupport
