// The front end's test bench: a scripted application (its queued input answers the dialogs' nested
// waits), a fresh player's folder for each test, the block font as every widget's face, a clean
// global profile store, and builders for the bytes of the player and score files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/widget/FallbackFont.h"
#include "game/front/ProfileStore.h"
#include "platform/win/MessageBox.h"
#include "platform/win/PathMap.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

namespace FrontTest {

// A little-endian int32 and a length-prefixed string, as the files hold them.
inline std::string Long(std::int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}
inline std::string Str(const std::string& text) {
  return std::string{static_cast<char>(text.size() & 0xFF), static_cast<char>((text.size() >> 8) & 0xFF)} + text;
}
inline std::string ProfileBytes(const std::string& name, const std::string& progress, const std::string& current,
                                std::int32_t scene = 0, std::int32_t level = 0, std::int32_t score = 0,
                                std::int32_t lives = 0) {
  return Str(name) + Str(progress) + Str(current) + Long(scene) + Long(level) + Long(score) + Long(lives);
}

// Keeps the process's environment variable as it was.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : mName(name) {
    if (const char* old = std::getenv(name)) mOld = old, mHadOld = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { mHadOld ? setenv(mName, mOld.c_str(), 1) : unsetenv(mName); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* mName;
  std::string mOld;
  bool mHadOld = false;
};

class FrontFixture : public ::testing::Test {
 protected:
  FrontFixture() {
    mSavedFactory = Kit::GetFallbackFontFactory();
    Kit::SetFallbackFontFactory(KitTest::MakeBlockFont);
    gProfileStore = ProfileStore();
  }
  void TearDown() override { mApp.mWidgetManager->RemoveAllWidgets(false, true); }
  ~FrontFixture() override {
    gProfileStore = ProfileStore();
    Kit::SetFallbackFontFactory(mSavedFactory);
  }

  // Where a program path lands, and what is there.
  static std::string RealPath(const std::string& programPath) { return plat::MapPath(programPath); }
  static std::string Contents(const std::string& programPath) {
    return testsupport::ReadFileContents(RealPath(programPath));
  }
  static void Put(const std::string& programPath, const std::string& bytes) {
    const std::filesystem::path path = RealPath(programPath);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static bool Exists(const std::string& programPath) { return std::filesystem::exists(RealPath(programPath)); }

  testsupport::TempDir mFolder;
  testsupport::ScopedCurrentFolder mInFolder{mFolder.Path()};
  // Player files may be mapped to the data home: keep that inside the test's folder too.
  ScopedEnv mDataHome{"XDG_DATA_HOME", mFolder.Path().string()};
  plat::ScopedMessageBoxScript mMessageBoxes;
  KitTest::ScriptedApp mApp;
  Kit::FallbackFontFactory mSavedFactory = nullptr;
};

}  // namespace FrontTest
