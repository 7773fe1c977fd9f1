#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Errors.h"
#include "platform/win/files/ReplacedFilesLog.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/registry/RegistryStore.h"
#include "tests/settings/DemoStreams.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

// Each test has a registry of its own, kept in its own file as a real run keeps it.
class RegistrySettings : public testing::Test {
 protected:
  RegistrySettings() : mRegistry(mFolder / "registry") {}

  // Forgets what the process loaded, as a new run would, and reads the file again.
  void StartNewRun() { plat::ScopedRegistryFile elsewhere(mFolder / "other"); }

  // An integer as the program reads it back; nothing when it cannot.
  static std::optional<int> ReadInteger(Kit::KitAppBase& app, const std::string& name) {
    int value = 0;
    if (!app.RegistryReadInteger(name, &value)) return std::nullopt;
    return value;
  }

  // A value written to the registry directly, as another program or a damaged file could leave it.
  void SetRawValue(const std::string& name, DWORD type, const void* data, DWORD length) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\QuarvelTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr),
              ERROR_SUCCESS);
    RegSetValueEx(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), length);
    RegCloseKey(key);
  }

  testsupport::TempDir mFolder;
  plat::ScopedRegistryFile mRegistry;
};

TEST_F(RegistrySettings, SettingsSurviveIntoTheNextRun) {
  {
    Kit::KitAppBase app;
    app.mRegKey = "QuarvelTest";
    app.mMusicVolume = 0.4;
    app.mSfxVolume = 0.29;
    app.mIsWindowed = false;
    app.mPreferredX = 120;
    app.mPreferredY = -7;
    app.mCustomCursorsEnabled = true;
    app.mWaitForVSync = true;
    app.WriteToRegistry();
  }
  StartNewRun();
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.ReadFromRegistry();
  EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.4);
  EXPECT_DOUBLE_EQ(app.mSfxVolume, 0.29);  // not 0.28: a saved volume does not drift down
  EXPECT_FALSE(app.mIsWindowed);
  EXPECT_EQ(app.mPreferredX, 120);
  EXPECT_EQ(app.mPreferredY, -7);
  EXPECT_TRUE(app.mCustomCursorsEnabled);
  EXPECT_TRUE(app.mWaitForVSync);
  EXPECT_TRUE(app.mSaveSettingsAtShutdown);
}

// Values set together reach the settings file in one write, synced to the disk; a value set as it stands
// writes nothing.
TEST_F(RegistrySettings, ValuesSetTogetherAreWrittenOnceAndUnchangedOnesNotAtAll) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  const auto writes = [this](const std::function<void()>& set) {
    const plat::ScopedReplacedFilesLog log;
    set();
    const std::vector<plat::ReplacedFile> replaced = log.ReplacedAt(mFolder / "registry");
    for (const plat::ReplacedFile& write : replaced) EXPECT_TRUE(write.synced);
    return replaced.size();
  };
  EXPECT_EQ(writes([&] { app.RegistryWriteInteger("MusicVolume", 50); }), 1u) << "a first value and its new key";
  EXPECT_EQ(writes([&] { app.WriteToRegistry(); }), 1u) << "the settings saved at shutdown";
  EXPECT_EQ(writes([&] { app.WriteToRegistry(); }), 0u) << "the same settings again";
  app.mPreferredY = 99;
  EXPECT_EQ(writes([&] { app.WriteToRegistry(); }), 1u) << "the settings with one changed";
  StartNewRun();
  EXPECT_EQ(ReadInteger(app, "PreferredY"), 99);
}

// A run that ends abruptly after setting values, killed or gone without its shutdown, leaves every one
// of them in the file: one set alone at once, those set together as their group ended.
TEST_F(RegistrySettings, ARunThatEndsAbruptlyLeavesEveryValueItSetInTheFile) {
  for (const bool killed : {false, true}) {
    const int round = killed ? 2 : 1;
    Kit::KitAppBase app;
    app.mRegKey = "QuarvelTest";
    const pid_t run = fork();
    ASSERT_GE(run, 0);
    if (run == 0) {
      app.RegistryWriteTogether([&] {
        app.RegistryWriteInteger("MusicVolume", round);
        app.RegistryWriteInteger("PreferredX", 321);
      });
      app.RegistryWriteInteger("ShowHelp", round);
      if (killed) ::raise(SIGKILL);
      ::_exit(0);
    }
    ASSERT_EQ(::waitpid(run, nullptr, 0), run);
    StartNewRun();
    EXPECT_EQ(ReadInteger(app, "MusicVolume"), round);
    EXPECT_EQ(ReadInteger(app, "PreferredX"), 321);
    EXPECT_EQ(ReadInteger(app, "ShowHelp"), round);
  }
}

TEST_F(RegistrySettings, VolumesAreSavedInTruncatedHundredths) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.mMusicVolume = 0.857;
  app.WriteToRegistry();
  int saved = 0;
  ASSERT_TRUE(app.RegistryReadInteger("MusicVolume", &saved));
  EXPECT_EQ(saved, 85);
  app.RegistryWriteInteger("SfxVolume", 85);
  app.ReadFromRegistry();
  EXPECT_DOUBLE_EQ(app.mSfxVolume, 0.85);
}

TEST_F(RegistrySettings, OnlyTheUsersOwnMuteIsSaved) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  int muted = -1;
  app.mMuteCount = 1;  // focus loss alone
  app.mAutoMuteCount = 1;
  app.WriteToRegistry();
  ASSERT_TRUE(app.RegistryReadInteger("Muted", &muted));
  EXPECT_EQ(muted, 0);
  app.mMuteCount = 2;  // the user's mute and the focus loss
  app.WriteToRegistry();
  ASSERT_TRUE(app.RegistryReadInteger("Muted", &muted));
  EXPECT_EQ(muted, 1);
}

TEST_F(RegistrySettings, WithoutAKeyNothingIsReadOrWritten) {
  Kit::KitAppBase app;
  app.mMusicVolume = 0.3;
  app.WriteToRegistry();
  EXPECT_FALSE(app.RegistryWriteInteger("Anything", 1));
  int value = 42;
  EXPECT_FALSE(app.RegistryReadInteger("MusicVolume", &value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(std::filesystem::exists(mFolder / "registry"));

  Kit::KitAppBase fresh;
  fresh.ReadFromRegistry();
  EXPECT_DOUBLE_EQ(fresh.mMusicVolume, 0.85);
  EXPECT_TRUE(fresh.mIsWindowed);
  EXPECT_TRUE(fresh.mLastShutdownWasGraceful);
}

TEST_F(RegistrySettings, TheRegistryKeyPropertyOverridesTheGamesKey) {
  Kit::KitAppBase writer;
  writer.mRegKey = "Other\\";  // a final separator is not part of the key
  writer.RegistryWriteInteger("MusicVolume", 10);
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.SetString("RegistryKey", "Other");
  app.ReadFromRegistry();
  EXPECT_EQ(app.mRegKey, "Other");
  EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.1);
}

TEST_F(RegistrySettings, AValueNameWithABackslashLandsInASubKey) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  ASSERT_TRUE(app.RegistryWriteString("Test3D\\Version", "7.1"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\QuarvelTest\\Test3D", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  std::string read;
  EXPECT_TRUE(app.RegistryReadString("Test3D\\Version", &read));
  EXPECT_EQ(read, "7.1");
}

TEST_F(RegistrySettings, DamagedValuesLeaveTheDefaults) {
  const char text[] = "loud";
  SetRawValue("MusicVolume", REG_SZ, text, 4);  // another type
  const std::uint16_t half = 50;
  SetRawValue("SfxVolume", REG_DWORD, &half, 2);  // cut short
  const std::uint32_t huge = 5000;
  SetRawValue("Muted", REG_BINARY, &huge, 4);  // another type
  const std::int32_t negative = -3;
  SetRawValue("ScreenMode", REG_DWORD, &negative, 4);  // any non-zero number means full screen
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.RegistryWriteInteger("WaitForVSync", 0);
  SetRawValue("PreferredX", REG_DWORD, &huge, 4);
  const std::uint32_t tooLoud = 5000;
  SetRawValue("MusicVolume", REG_DWORD, &tooLoud, 4);  // no saved volume is above 100
  app.ReadFromRegistry();
  EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.85);
  EXPECT_DOUBLE_EQ(app.mSfxVolume, 0.85);
  EXPECT_EQ(app.mMuteCount, 0);
  EXPECT_FALSE(app.mIsWindowed);
  EXPECT_EQ(app.mPreferredX, 5000);

  std::string kept = "kept";
  EXPECT_FALSE(app.RegistryReadString("SfxVolume", &kept));
  EXPECT_EQ(kept, "kept");
  EXPECT_FALSE(app.RegistryReadString("NoSuchValue", &kept));
  EXPECT_EQ(kept, "kept");
  SetRawValue("Name", REG_SZ, "Ann\0", 4);  // a string stored with its terminator reads without it
  ASSERT_TRUE(app.RegistryReadString("Name", &kept));
  EXPECT_EQ(kept, "Ann");
}

TEST_F(RegistrySettings, InProgressTellsWhetherTheLastRunEndedCleanly) {
  {
    Kit::KitAppBase first;
    first.mRegKey = "QuarvelTest";
    first.ReadFromRegistry();
    EXPECT_TRUE(first.mLastShutdownWasGraceful);
    // the run crashes: the shutdown that would save the settings never comes
    first.mSaveSettingsAtShutdown = false;
  }
  Kit::KitAppBase second;
  second.mRegKey = "QuarvelTest";
  second.ReadFromRegistry();
  EXPECT_FALSE(second.mLastShutdownWasGraceful);
  second.WriteToRegistry();

  Kit::KitAppBase third;
  third.mRegKey = "QuarvelTest";
  third.ReadFromRegistry();
  EXPECT_TRUE(third.mLastShutdownWasGraceful);
}

TEST_F(RegistrySettings, AScreenSaverRunDoesNotMarkItselfInProgress) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.mIsScreenSaver = true;
  app.ReadFromRegistry();
  int value = 0;
  EXPECT_FALSE(app.RegistryReadInteger("InProgress", &value));
}

TEST_F(RegistrySettings, AWriteTheStoreCannotKeepIsReportedAsFailed) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  ASSERT_TRUE(app.RegistryWriteInteger("MusicVolume", 20));
  mFolder.Write("blocker", "a file where a folder would have to be");
  {
    plat::ScopedRegistryFile unwritable(mFolder / "blocker/registry");
    EXPECT_FALSE(app.RegistryWriteInteger("MusicVolume", 30));
  }
  int value = 0;
  ASSERT_TRUE(app.RegistryReadInteger("MusicVolume", &value));
  EXPECT_EQ(value, 20);
}

// What stands at path instead of a settings file, named as the test names it: a folder, a pipe, a
// device (made as the null device is, or as a loop device that need not exist) or a socket.
void MakeNonFile(const std::string& kind, const std::string& path) {
  if (kind == "folder") std::filesystem::create_directory(path);
  if (kind == "pipe") {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  }
  if (kind == "character device") testsupport::MakeUnreadable(path, testsupport::Unreadable::kNullDevice);
  if (kind == "block device") {
    ASSERT_EQ(::mknod(path.c_str(), S_IFBLK | 0600, makedev(7, 250)), 0);
  }
  if (kind == "socket") {
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    EXPECT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(listener);
  }
}

// Settings that cannot be read or kept are told in a pop-up and on standard error, each problem once
// however many writes fail on a full disk, at the first chance: the hand-over after loading or the first
// failed write after it. The program goes on: the pop-up is captioned with its title, not as fatal.
TEST_F(RegistrySettings, WhatTheSettingsFileCannotKeepIsToldOnce) {
  const std::string file = mFolder / "registry";
  const std::string unwritten = file + " could not be written (File too large); settings are not saved.";
  const std::string notRegular = file + " cannot be read (not a regular file); settings start empty and are not saved.";
  for (const auto& [standing, fullFromTheStart, told] :
       std::vector<std::tuple<std::string, bool, std::vector<std::string>>>{
           {"", true, {unwritten}},
           {"", false, {unwritten}},  // the disk fills after the hand-over
           {"folder", true, {file + " cannot be read (Is a directory); settings start empty and are not saved."}},
           {"pipe", false, {notRegular}},
           {"character device", false, {notRegular}},
           {"block device", false, {notRegular}},
           {"socket", false, {notRegular}},
           {"damaged",
            false,
            {file + " is damaged; it was kept as " + file + ".damaged and settings start empty.", unwritten}}}) {
    std::filesystem::remove_all(file);
    std::filesystem::remove_all(file + ".damaged");
    if (standing != "" && standing != "damaged") MakeNonFile(standing, file);
    if (standing == "damaged") mFolder.Write("registry", "damaged");
    StartNewRun();
    plat::ScopedMessageBoxScript boxes;
    plat::ScopedDebugCapture debug;
    Kit::KitAppBase app;
    app.mRegKey = "QuarvelTest";
    std::optional<testsupport::ScopedFullDisk> disk;  // no settings file fits
    if (fullFromTheStart) disk.emplace(20);
    app.ReadFromRegistry();
    app.TellSettingsProblems();  // as the hand-over after loading does
    app.mLoadedHandedOver = true;
    disk.emplace(20);
    for (int i = 0; i < 25; ++i) app.WriteToRegistry();
    disk.reset();
    int volume = 0;  // what the file could not take is not read back either
    EXPECT_FALSE(app.RegistryReadInteger("MusicVolume", &volume)) << standing;
    std::string shown, lines;
    for (const auto& box : boxes.Shown()) {
      shown += box.text + "\n";
      EXPECT_EQ(box.caption, app.mTitle) << standing;
    }
    for (const std::string& problem : told) lines += "The settings file " + problem + "\n";
    EXPECT_EQ(boxes.Shown().size(), told.size()) << standing;
    EXPECT_EQ(shown, lines) << standing;
    EXPECT_EQ(debug.Text(), lines) << standing;
  }
}

TEST_F(RegistrySettings, ErasedValuesAreGone) {
  Kit::KitAppBase app;
  app.mRegKey = "QuarvelTest";
  app.RegistryWriteBoolean("Is3D", true);
  bool is3D = false;
  ASSERT_TRUE(app.RegistryReadBoolean("Is3D", &is3D));
  EXPECT_TRUE(is3D);
  app.RegistryEraseValue("Is3D");
  EXPECT_FALSE(app.RegistryReadBoolean("Is3D", &is3D));
  app.RegistryEraseValue("NeverWritten");  // nothing to do, and no harm
}

TEST_F(RegistrySettings, AReplayedRunSeesTheRecordedValues) {
  Kit::DemoStream recording = KitTest::RecordingStream();
  {
    Kit::KitAppBase recorder;
    recorder.mRegKey = "QuarvelTest";
    recorder.RegistryWriteInteger("MusicVolume", 33);
    recorder.mDemoStream = &recording;
    recorder.ReadFromRegistry();
    EXPECT_DOUBLE_EQ(recorder.mMusicVolume, 0.33);
    EXPECT_TRUE(recorder.RegistryWriteInteger("Unkept", 1));
    // The recording ends here; the settings its shutdown would save are not part of it.
    recorder.mSaveSettingsAtShutdown = false;
  }
  // The machine's registry differs now; the replay does not look at it or change it.
  {
    Kit::KitAppBase other;
    other.mRegKey = "QuarvelTest";
    other.RegistryWriteInteger("MusicVolume", 90);
    other.RegistryWriteInteger("InProgress", 0);
  }
  Kit::DemoStream playback = KitTest::PlaybackOf(recording);
  Kit::KitAppBase player;
  player.mRegKey = "QuarvelTest";
  player.mDemoStream = &playback;
  player.ReadFromRegistry();
  EXPECT_DOUBLE_EQ(player.mMusicVolume, 0.33);
  EXPECT_TRUE(player.mLastShutdownWasGraceful);  // "InProgress" was missing when recorded
  EXPECT_TRUE(player.RegistryWriteInteger("Unkept", 1));
  EXPECT_FALSE(player.RegistryWriteInteger("Unkept", 1));  // every record was used
  player.mDemoStream = nullptr;
  int value = 0;
  ASSERT_TRUE(player.RegistryReadInteger("MusicVolume", &value));
  EXPECT_EQ(value, 90);
  ASSERT_TRUE(player.RegistryReadInteger("InProgress", &value));
  EXPECT_EQ(value, 0);  // the replay wrote nothing
}

TEST_F(RegistrySettings, AReplayedValueTooLongForTheBufferIsRefused) {
  Kit::DemoStream recording = KitTest::RecordingStream();
  const std::vector<std::uint8_t> big(4096, 0xAB);
  recording.RecordRegistryRead(0, true, REG_DWORD, big.data(), static_cast<std::uint32_t>(big.size()));
  const std::uint8_t seven[4] = {7, 0, 0, 0};
  recording.RecordRegistryRead(0, true, REG_DWORD, seven, 4);
  Kit::DemoStream playback = KitTest::PlaybackOf(recording);
  Kit::KitAppBase player;
  player.mRegKey = "QuarvelTest";
  player.mDemoStream = &playback;
  int value = -1;
  EXPECT_FALSE(player.RegistryReadInteger("MusicVolume", &value));
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(player.RegistryReadInteger("MusicVolume", &value));  // the stream stayed in step
  EXPECT_EQ(value, 7);
}

}  // namespace
