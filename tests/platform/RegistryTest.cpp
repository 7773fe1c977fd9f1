#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/registry/RegistryStore.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class RegistryTest : public testing::Test {
 protected:
  std::string File() const { return mDir / "config/quarvel/registry"; }
  // A fresh look at the file, as a new run of the program would have.
  void Restart() { plat::RegistryStore::Instance().SetFile(File()); }

  HKEY Create(const char* path) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, 0, const_cast<LPSTR>("Key"), REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    return key;
  }
  void SetDword(HKEY key, const char* name, DWORD value) {
    ASSERT_EQ(RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
              ERROR_SUCCESS);
  }
  static std::optional<DWORD> GetDword(const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof(value);
    LONG result = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
  }

  testsupport::TempDir mDir;
  plat::ScopedRegistryFile mFile{File()};
};

TEST_F(RegistryTest, ShortBufferIsAnsweredWithTheSizeNeeded) {
  HKEY key = Create("SOFTWARE\\Quarvel");
  ASSERT_EQ(RegSetValueEx(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 6), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  char small[3] = {'x', 'x', 'x'};
  size = sizeof(small);
  EXPECT_EQ(RegQueryValueEx(key, "Name", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(small[0], 'x') << "nothing written into a short buffer";
  RegCloseKey(key);
}

TEST_F(RegistryTest, HivesAreSeparate) {
  HKEY machine = Create("Control Panel\\Desktop");
  SetDword(machine, "ScreenSaveUsePassword", 1);
  RegCloseKey(machine);
  HKEY user;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &user), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, DamagedFileIsReportedOnceKeptAsideAndTreatedAsEmpty) {
  HKEY key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "MusicVolume", 85);
  RegCloseKey(key);
  std::string good = ReadFile(File());
  std::string damaged = good.substr(0, good.size() / 2);  // a file cut short
  std::ofstream(File(), std::ios::binary | std::ios::trunc) << damaged;

  plat::ScopedDebugCapture debug;
  Restart();
  EXPECT_FALSE(GetDword("SOFTWARE\\Quarvel", "MusicVolume"));
  EXPECT_FALSE(GetDword("SOFTWARE\\Quarvel", "MusicVolume"));
  std::string report = debug.Text();
  EXPECT_NE(report.find("damaged"), std::string::npos);
  EXPECT_EQ(report.find("The settings file"), report.rfind("The settings file")) << "reported once";
  EXPECT_EQ(ReadFile(File() + ".damaged"), damaged);

  // New settings go to a fresh file; a second damage does not overwrite the first one kept.
  key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "SfxVolume", 50);
  RegCloseKey(key);
  std::ofstream(File(), std::ios::binary | std::ios::trunc) << "garbage";
  Restart();
  EXPECT_FALSE(GetDword("SOFTWARE\\Quarvel", "SfxVolume"));
  EXPECT_EQ(ReadFile(File() + ".damaged"), damaged);
  EXPECT_EQ(ReadFile(File() + ".damaged.1"), "garbage");
}

// A settings file that is there but cannot be read may still hold the player's settings: it is reported
// once, the settings start empty, and no write replaces it, in this run or after a restart.
class UnreadableRegistry : public RegistryTest, public testing::WithParamInterface<testsupport::Unreadable> {};

TEST_P(UnreadableRegistry, IsReportedOnceStartsEmptyAndIsNeverWrittenOver) {
  testsupport::MakeUnreadable(File(), GetParam());
  plat::ScopedDebugCapture debug;
  Restart();
  EXPECT_FALSE(GetDword("SOFTWARE\\Quarvel", "MusicVolume"));
  HKEY key = nullptr;
  DWORD disposition = 0;
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarvel", 0, const_cast<LPSTR>("Key"),
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_CANTWRITE);
  const std::string report = debug.Text();
  EXPECT_NE(report.find("cannot be read"), std::string::npos) << report;
  EXPECT_EQ(report.find("The settings file"), report.rfind("The settings file")) << "reported once";
  EXPECT_TRUE(testsupport::UnreadableIsIntact(File(), GetParam()));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(File() + ".damaged")));

  Restart();
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarvel", 0, const_cast<LPSTR>("Key"),
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_CANTWRITE);
  EXPECT_TRUE(testsupport::UnreadableIsIntact(File(), GetParam())) << "not written over after a restart either";
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadableRegistry, testing::ValuesIn(testsupport::kUnreadableKinds),
                         [](const auto& info) { return testsupport::UnreadableName(info.param); });

// Settings kept elsewhere and linked in: a dead writer's temporary beside the target goes when the file
// is read, and a damaged target is copied aside while the link stays and takes the next write.
TEST_F(RegistryTest, ALinkedSettingsFileIsCleanedBesideItsTargetAndKeepsItsLinkWhenDamaged) {
  const std::string target = mDir.Write("dotfiles/quarvel-registry", "damaged");
  std::filesystem::create_directories(mDir / "config/quarvel");
  std::filesystem::create_symlink("../../dotfiles/quarvel-registry", File());
  // Init's id, written before it began: a dead writer's.
  const std::string leftover = mDir.Write("dotfiles/quarvel-registry.tmp1-0", "half");
  std::filesystem::last_write_time(leftover,
                                   std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 20));
  const plat::ScopedDebugCapture debug;
  Restart();
  HKEY key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "SfxVolume", 50);
  RegCloseKey(key);
  EXPECT_FALSE(std::filesystem::exists(leftover));
  EXPECT_EQ(ReadFile(File() + ".damaged"), "damaged");
  EXPECT_TRUE(std::filesystem::is_symlink(File()));
  EXPECT_TRUE(plat::ParseRegistry(ReadFile(target)));
}

TEST_F(RegistryTest, FlippedByteIsDetected) {
  HKEY key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "PreferredX", 120);
  RegCloseKey(key);
  std::string text = ReadFile(File());
  std::size_t at = text.find("PreferredX");
  ASSERT_NE(at, std::string::npos);
  text[at] = 'Q';
  EXPECT_FALSE(plat::ParseRegistry(text));
}

TEST_F(RegistryTest, AKillDuringWritesLeavesAnIntactFile) {
  HKEY key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "Counter", 0);
  RegCloseKey(key);
  for (int round = 0; round < 5; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HKEY mine;
      if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarvel", 0, KEY_WRITE, &mine) != ERROR_SUCCESS) _exit(2);
      for (DWORD i = 1;; ++i) {
        std::string big(2000 + i % 500, static_cast<char>('a' + i % 26));
        RegSetValueEx(mine, "Padding", 0, REG_SZ, reinterpret_cast<const BYTE*>(big.data()),
                      static_cast<DWORD>(big.size()));
        RegSetValueEx(mine, "Counter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4);
      }
    }
    usleep(20000 + round * 7000);
    kill(child, SIGKILL);
    int status;
    waitpid(child, &status, 0);
    Restart();
    EXPECT_TRUE(plat::ParseRegistry(ReadFile(File()))) << "round " << round;
    EXPECT_TRUE(GetDword("SOFTWARE\\Quarvel", "Counter")) << "round " << round;
    EXPECT_FALSE(std::filesystem::exists(File() + ".damaged"));
  }
  // The killed writers' temporaries went when the file was read again; a running process's stays.
  const std::string running = File() + ".tmp" + std::to_string(getpid()) + "-0";
  std::ofstream(running) << "in flight";
  Restart();
  GetDword("SOFTWARE\\Quarvel", "Counter");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(mDir / "config/quarvel"))
    if (entry.path().filename().string().starts_with("registry.tmp")) left.push_back(entry.path().string());
  EXPECT_EQ(left, std::vector<std::string>{running});
}

// Process ids are reused: a temporary whose id now belongs to a process that began after the
// temporary was last written is a dead writer's, and goes; while a doubt remains it stays.
TEST_F(RegistryTest, ATemporaryOfAReusedProcessIdGoesWithTheDeadWriters) {
  HKEY key = Create("SOFTWARE\\Quarvel");
  SetDword(key, "Counter", 1);
  RegCloseKey(key);
  const auto now = std::filesystem::file_time_type::clock::now();
  const struct {
    const char* what;
    pid_t writer;
    std::filesystem::file_time_type written;
    bool stays;
  } cases[] = {
      {"this process, written now", getpid(), now, true},
      {"this process, written a day before it began", getpid(), now - std::chrono::hours(24), false},
      {"init, written now", 1, now, true},
      {"init, written long before the machine booted", 1, now - std::chrono::hours(24 * 365 * 20), false},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string temporary = File() + ".tmp" + std::to_string(cases[i].writer) + "-" + std::to_string(i);
    std::ofstream(temporary) << "half";
    std::filesystem::last_write_time(temporary, cases[i].written);
  }
  Restart();
  GetDword("SOFTWARE\\Quarvel", "Counter");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string temporary = File() + ".tmp" + std::to_string(cases[i].writer) + "-" + std::to_string(i);
    EXPECT_EQ(std::filesystem::exists(temporary), cases[i].stays) << cases[i].what;
  }
}

TEST(RegistryFormatTest, AnyNamesAndBytesRoundTrip) {
  plat::RegistryData data;
  auto& key = data.keys["hklm\\software\\odd key %"];
  key.path = "HKLM\\SOFTWARE\\Odd Key %";
  key.values[""] = {"", plat::RegistryValue{REG_SZ, {}}};
  key.values["line\nbreak =x"] = {"Line\nBreak =x", plat::RegistryValue{REG_BINARY, {0, 0xFF, 0x80}}};
  key.values["\xe9t\xe9"] = {"\xe9t\xe9", plat::RegistryValue{0xFFFFFFFFu, {1}}};
  std::string text = plat::SerializeRegistry(data);
  auto parsed = plat::ParseRegistry(text);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(plat::SerializeRegistry(*parsed), text);
  EXPECT_EQ(parsed->keys.begin()->second.values.at("line\nbreak =x").first, "Line\nBreak =x");
  EXPECT_FALSE(plat::ParseRegistry(""));
  EXPECT_FALSE(plat::ParseRegistry(text + "extra"));
}

TEST(RegistryFormatTest, DefaultFileFollowsXdgConfig) {
  testsupport::ScopedEnvironmentVariable config("XDG_CONFIG_HOME", "/tmp/xdg-test");
  EXPECT_EQ(plat::DefaultRegistryFile(), "/tmp/xdg-test/quarvel/registry");
  config.Set(nullptr);
  EXPECT_NE(plat::DefaultRegistryFile().find("/.config/quarvel/registry"), std::string::npos);
}

}  // namespace
