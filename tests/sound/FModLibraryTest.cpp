#include "framework/sound/FModLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/Process.h"
#include "tests/sound/SoundTestSupport.h"

namespace soundtest {
namespace {

class FModLibraryTest : public SoundTest {};

TEST_F(FModLibraryTest, ReferencesShareOneWrapperAndTheLastUnloadsIt) {
  Kit::LoadFModDLL();
  Kit::FMOD_INSTANCE* first = Kit::gFModInstance;
  ASSERT_NE(first, nullptr);
  Kit::LoadFModDLL();
  EXPECT_EQ(Kit::gFModInstance, first);
  EXPECT_EQ(plat::ModuleLoadCount("fmod.dll"), 1);
  Kit::FreeFModDLL();
  EXPECT_EQ(Kit::gFModInstance, first);
  Kit::FreeFModDLL();
  EXPECT_EQ(Kit::gFModInstance, nullptr);
  EXPECT_EQ(plat::ModuleLoadCount("fmod.dll"), 0);
  Kit::FreeFModDLL();  // one too many does nothing
}

TEST_F(FModLibraryTest, ManagerWithFModDecodesMp3AndCachesIt) {
  dir.Write("sounds/zap.mp3", ReadTestData("sound/tone_mono_22050.mp3"));
  {
    InspectableDSoundManager manager(FakeWindow(), true);
    ASSERT_TRUE(manager.LoadSound(0, "sounds/zap"));
    EXPECT_EQ(manager.Format(0).nSamplesPerSec, 22050u);
    EXPECT_EQ(manager.Format(0).nChannels, 1);
    EXPECT_GT(manager.DataSize(0), 5000u * 2);
    EXPECT_TRUE(std::filesystem::exists("cached/sounds/zap.wav"));
    ASSERT_TRUE(manager.LoadSound(1, "sounds/zap"));  // from the cache now
    EXPECT_EQ(manager.Bytes(1), manager.Bytes(0));
  }
  EXPECT_EQ(Kit::gFModInstance, nullptr);  // the manager's reference went with it
}

TEST_F(FModLibraryTest, AMissingLibraryOrEntryPointShowsAnErrorBoxAndExits) {
  plat::SetModuleMissing("fmod.dll", true);
  plat::ShownMessageBox box = FatalEnd([] { Kit::LoadFModDLL(); });
  EXPECT_EQ(box.text, "Can't find fmod.dll.");
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.type, MB_OK | MB_ICONERROR);
  Kit::FreeFModDLL();  // what the ended program would have left
  EXPECT_EQ(Kit::gFModInstance, nullptr);
  plat::SetModuleMissing("fmod.dll", false);
  plat::SetExportMissing("fmod.dll", "_FSOUND_Init@12", true);
  EXPECT_EQ(FatalEnd([] { Kit::FMOD_INSTANCE instance("fmod.dll"); }).text,
            "\"_FSOUND_Init@12\" function not found in fmod.dll");
}

}  // namespace
}  // namespace soundtest
