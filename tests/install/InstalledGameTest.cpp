// The game installed as a player installs it: `cmake --install` of this build into a fresh prefix puts
// there the program, its data, the desktop's menu entry and icons, and nothing else. The installed
// program, started headless with a player's folders of its own, finds its data beside itself (not in the
// prefix the build was configured with), card lists included, reaches its main menu, writes only into
// the player's folders, and ends cleanly when asked to (a termination signal, as a desktop's logout sends), on a real X
// display too; a damaged picture in the player's folder ends it with its error and a failure status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/registry/RegistryStore.h"
#include "tests/support/FileContents.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolProgram.h"
#include "tests/support/XvfbServer.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Environment;

constexpr int kIconSizes[] = {48, 128, 256};

// Starts the program in the folder with the environment changes (an empty value unsets the variable),
// its output and errors going to the files.
pid_t Start(const std::vector<std::string>& arguments, const fs::path& folder, const Environment& environment,
            const fs::path& output, const fs::path& errors) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  testsupport::ApplyEnvironment(environment);
  const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(folder.c_str()) != 0) _exit(126);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

// The exit code once the program has ended, or -1 for a signal; nothing while it still runs.
std::optional<int> Ended(pid_t pid, bool wait) {
  int status = 0;
  if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid) return std::nullopt;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits for the program's end; kills it when it does not end.
int Finish(pid_t pid) {
  std::optional<int> code;
  if (testsupport::PollUntil([&] { return (code = Ended(pid, false)).has_value(); })) return *code;
  kill(pid, SIGKILL);
  Ended(pid, true);
  ADD_FAILURE() << "the program did not end";
  return -1;
}

int RunToEnd(const std::vector<std::string>& arguments, const fs::path& folder, const fs::path& log) {
  return Finish(Start(arguments, folder, {}, log, log));
}

// Every file below the folder with its size and time of last change.
std::map<fs::path, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder) {
  std::map<fs::path, std::pair<std::uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const bool file = entry.is_regular_file();
    files[fs::relative(entry.path(), folder)] = {file ? entry.file_size() : 0, entry.last_write_time()};
  }
  return files;
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// The width and height a PNG file's header gives, or zeros.
std::pair<int, int> PngSize(const fs::path& path) {
  const std::string bytes = testsupport::ReadFileContents(path.string());
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
  const auto big = [&bytes](std::size_t at) {
    int value = 0;
    for (std::size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
  };
  return {big(16), big(20)};
}

// How a run to the main menu went: whether the menu came, the exit code and what the program wrote to
// its errors.
struct MenuRun {
  bool menu = false;
  int code = -1;
  std::string errors;
};

class InstalledGame : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunToEnd({KIT_CMAKE, "--install", KIT_BUILD_DIR, "--prefix", mPrefix.Path().string()}, mWork.Path(),
                       mWork / "install.log"),
              0)
        << testsupport::ReadFileContents(mWork / std::string("install.log"));
  }

  fs::path Installed(const std::string& relative) const { return mPrefix.Path() / relative; }

  // The installed program started headless in a working folder of its own, with a player's folders
  // below mWork (data in mWork/data, settings in mWork/config); `display` changes go last.
  pid_t StartInstalled(const fs::path& output, const fs::path& errors, const Environment& display = {}) {
    const fs::path home = mWork / "home", data = mWork / "data", config = mWork / "config", runtime = mWork / "run";
    for (const fs::path& made : {home, config, runtime, WorkingFolder()}) fs::create_directories(made);
    const Environment environment{{"HOME", home.string()},
                                  {"XDG_DATA_HOME", data.string()},
                                  {"XDG_CONFIG_HOME", config.string()},
                                  {"XDG_RUNTIME_DIR", runtime.string()},
                                  {"KIT_INSTANCE_SCOPE", ""},
                                  {"DISPLAY", ""},
                                  {"WAYLAND_DISPLAY", ""},
                                  {"SDL_VIDEODRIVER", "dummy"},
                                  {"SDL_AUDIODRIVER", "dummy"}};
    Environment all = environment;
    all.insert(all.end(), display.begin(), display.end());
    return Start({Installed("bin/quarvel").string()}, WorkingFolder(), all, output, errors);
  }
  fs::path WorkingFolder() const { return mWork / "elsewhere"; }
  // Runs the installed program to its main menu and asks it to end (a termination signal, as a
  // desktop's logout sends). What a killed save left in the player's folder is removed as the main menu
  // opens, without a word: the sign that the menu is up.
  MenuRun RunToMenuAndEnd(const Environment& display = {}) {
    const std::string leftover = mWork.Write("data/quarvel/userdata/playerdata.dat.tmp1-0", "half a save");
    const fs::path output = mWork / "out.log", errors = mWork / "err.log";
    const pid_t game = StartInstalled(output, errors, display);
    MenuRun run;
    if (game <= 0) return run;
    std::optional<int> code;
    testsupport::PollUntil([&] { return (run.menu = !fs::exists(leftover)) || (code = Ended(game, false)); });
    if (!code) {
      kill(game, SIGTERM);
      code = Finish(game);
    }
    run.code = *code;
    run.errors = testsupport::ReadFileContents(errors.string());
    return run;
  }

  testsupport::TempDir mPrefix;
  testsupport::TempDir mWork;
};

TEST_F(InstalledGame, HoldsTheProgramItsDataTheMenuEntryAndTheIconsAndNothingElse) {
  EXPECT_EQ(Entries(mPrefix.Path()), (std::set<std::string>{"bin", "share"}));
  EXPECT_EQ(Entries(Installed("bin")), std::set<std::string>{"quarvel"});
  EXPECT_EQ(Entries(Installed("share")), (std::set<std::string>{"applications", "icons", "quarvel"}));
  EXPECT_EQ(Entries(Installed("share/applications")), std::set<std::string>{"quarvel.desktop"});
  EXPECT_TRUE(fs::is_regular_file(Installed("share/quarvel/properties/resources.xml")));
  EXPECT_FALSE(fs::exists(Installed("share/quarvel/icons"))) << "the icons belong to the icon theme only";

  // The entry starts the installed program by its name and shows the installed icon.
  const std::string entry = testsupport::ReadFileContents(Installed("share/applications/quarvel.desktop").string());
  EXPECT_NE(entry.find("\nExec=quarvel\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=quarvel\n"), std::string::npos) << entry;
  EXPECT_EQ(Entries(Installed("share/icons/hicolor")).size(), std::size(kIconSizes));
  for (int size : kIconSizes) {
    const std::string theme = std::to_string(size) + "x" + std::to_string(size);
    const fs::path icon = Installed("share/icons/hicolor/" + theme + "/apps/quarvel.png");
    EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
  }
}

TEST_F(InstalledGame, TheMenuEntryPassesTheDesktopsOwnCheck) {
  const char* validator = "/usr/bin/desktop-file-validate";
  if (access(validator, X_OK) != 0) GTEST_SKIP() << "desktop-file-utils is not installed";
  const fs::path log = mWork / "validate.log";
  EXPECT_EQ(RunToEnd({validator, Installed("share/applications/quarvel.desktop").string()}, mWork.Path(), log), 0);
  EXPECT_EQ(testsupport::ReadFileContents(log.string()), "") << "warnings and hints count too";
}

TEST_F(InstalledGame, StartsFromItsPrefixToTheMainMenuAndWritesOnlyInThePlayersFolders) {
  const auto before = Snapshot(mPrefix.Path());
  const MenuRun run = RunToMenuAndEnd();
  ASSERT_TRUE(run.menu) << "exit code " << run.code << ", errors:\n" << run.errors;
  EXPECT_EQ(run.code, 0) << run.errors;
  EXPECT_EQ(run.errors.find("not found"), std::string::npos) << run.errors;

  EXPECT_EQ(Snapshot(mPrefix.Path()), before) << "the installed copy is read-only";
  EXPECT_TRUE(fs::is_empty(WorkingFolder())) << "the working folder is left alone";
  EXPECT_TRUE(fs::is_regular_file(mWork / "config/quarvel/registry")) << "settings go to the player's config folder";
}

// The 3D self-test's card lists are game data like the rest: the installed game finds the list of cards
// never supported, which names this platform's own DirectDraw, so its verdict advises against 3D (the
// settings keep the warning the built game gives) and the game draws in 2D.
TEST_F(InstalledGame, ReadsItsCardListsWithItsOtherDataAndDrawsIn2DOnThisCard) {
  const MenuRun run = RunToMenuAndEnd();
  ASSERT_TRUE(run.menu) << "exit code " << run.code << ", errors:\n" << run.errors;
  const auto settings = plat::ParseRegistry(testsupport::ReadFileContents(mWork / "config/quarvel/registry"));
  ASSERT_TRUE(settings.has_value());
  const auto key = settings->keys.find("hklm\\software\\quarvel\\test3d");
  ASSERT_NE(key, settings->keys.end()) << "the self-test ran";
  const auto warning = key->second.values.find("warning");
  ASSERT_NE(warning, key->second.values.end());
  const std::vector<BYTE>& text = warning->second.second.data;
  EXPECT_EQ(std::string(text.begin(), text.end()),
            std::string("Unsupported video card: Software DirectDraw on SDL2") + '\0');
}

// On a real X display SDL starts libdbus, which keeps an allocation past exit: the program still ends
// cleanly, with status 0, the leak checker of a sanitizer build included.
TEST_F(InstalledGame, OnARealDisplayItEndsCleanly) {
  const std::string xvfb = testsupport::FindXvfb();
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
  const testsupport::XvfbServer server(xvfb);
  ASSERT_FALSE(server.Display().empty());
  const MenuRun run = RunToMenuAndEnd({{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}});
  ASSERT_TRUE(run.menu) << "exit code " << run.code << ", errors:\n" << run.errors;
  EXPECT_EQ(run.code, 0) << run.errors;
}

// The game's group loads on the loading thread; a picture of it damaged in the player's folder ends the
// run after its error, and a shell or a launcher sees the failure.
TEST_F(InstalledGame, ADamagedPictureInThePlayersFolderEndsWithItsErrorAndAFailureStatus) {
  mWork.Write("data/quarvel/images/menu.png", "\x89PNG\r\n\x1a\nnot a picture");
  const fs::path output = mWork / "out.log", errors = mWork / "err.log";
  const int code = Finish(StartInstalled(output, errors));
  const std::string said = testsupport::ReadFileContents(errors.string());
  EXPECT_NE(said.find("Failed to load image: images/menu.png"), std::string::npos) << said;
  EXPECT_EQ(code, EXIT_FAILURE) << said;
}

}  // namespace
