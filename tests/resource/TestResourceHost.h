// A resource host for tests: shares images by (path, variant) the way the application does, loading
// new ones with ImageLib::GetImage and its alpha companion, and counting the loads it made.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "framework/font/FontHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"
#include "framework/resource/ImageLoader.h"
#include "framework/resource/ResourceHost.h"
#include "framework/sound/SoundManager.h"

namespace testresources {

// Records what the resource manager asks of the sound manager; loading fails for the paths in
// missing.
class RecordingSoundManager : public Kit::SoundManager {
 public:
  struct Loaded {
    std::string path;
    double baseVolume = -1.0;
    int basePan = 0;
  };

  bool LoadSound(unsigned int soundId, const std::string& fileName) override {
    if (missing.count(fileName)) return false;
    loaded[soundId] = Loaded{fileName};
    return true;
  }
  bool SetBaseVolume(unsigned int soundId, double volume) override {
    loaded.at(soundId).baseVolume = volume;
    return true;
  }
  bool SetBasePan(unsigned int soundId, int pan) override {
    loaded.at(soundId).basePan = pan;
    return true;
  }
  bool Initialized() override { return true; }
  int LoadSoundByName(const std::string&) override { return -1; }
  void ReleaseSound(unsigned int) override {}
  void SetVolume(double) override {}
  Kit::SoundInstance* GetSoundInstance(unsigned int) override { return nullptr; }
  void ReleaseSounds() override {}
  void ReleaseChannels() override {}
  double GetMasterVolume() override { return 1.0; }
  void SetMasterVolume(double) override {}
  void SpareHook() override {}
  void SetCooperativeWindow(HWND, bool) override {}
  void StopAllSounds() override {}

  std::map<unsigned int, Loaded> loaded;
  std::set<std::string> missing;
};

// Also the fonts' host: glyph sheets are shared images like the pictures.
class TestResourceHost : public Kit::ResourceHost, public Kit::FontHost {
 public:
  bool Is3DAccelerated() override { return accelerated; }
  Kit::FontHost* GetFontHost() override { return this; }
  Kit::SoundManager* GetSoundManager() override { return sounds; }

  // Images nobody holds any more are dropped before each request, as the application's update tick
  // does between them.
  Kit::ResourceImageRef GetSharedImage(const std::string& path, const std::string& variant, bool* created) override {
    Tick();
    return mShared.GetSharedImage(path, variant, created);
  }
  void Tick() { mShared.CleanSharedImages(); }

  bool accelerated = false;
  Kit::SoundManager* sounds = nullptr;
  std::atomic<int> loads{0};
  // What a newly loaded picture becomes: a plain memory image unless a test runs a display.
  std::function<std::unique_ptr<Kit::MemoryImage>()> makeImage = [] { return std::make_unique<Kit::MemoryImage>(); };

 private:
  Kit::SharedImageSet mShared{[this](const std::string& path) -> std::unique_ptr<Kit::MemoryImage> {
                                auto decoded = ImageLib::GetImage(path, true);
                                if (!decoded) return nullptr;
                                ++loads;
                                auto image = makeImage();
                                image->SetBits(decoded->GetBits(), decoded->GetWidth(), decoded->GetHeight(), true);
                                return image;
                              },
                              nullptr};
};

}  // namespace testresources
