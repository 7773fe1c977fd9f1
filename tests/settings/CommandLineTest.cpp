#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/process/Process.h"
#include "tests/support/FileContents.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"

namespace {

class ScopedCommandLine {
 public:
  explicit ScopedCommandLine(const std::string& commandLine) { plat::SetCommandLine(commandLine); }
  ~ScopedCommandLine() { plat::ResetCommandLine(); }
  ScopedCommandLine(const ScopedCommandLine&) = delete;
  ScopedCommandLine& operator=(const ScopedCommandLine&) = delete;
};

// An application that keeps what it was given instead of acting on it.
class ParamLog : public Kit::KitAppBase {
 public:
  void HandleCmdLineParam(const std::string& name, const std::string& value) override {
    params.emplace_back(name, value);
  }
  std::vector<std::pair<std::string, std::string>> params;
};

using Params = std::vector<std::pair<std::string, std::string>>;

TEST(CommandLine, TextSplitsIntoNamesAndValues) {
  const std::pair<const char*, Params> cases[] = {
      {"-demofile=runs\\a.dmo -play  -level=\"my level.vel\" -x=a=b",
       {{"-demofile", "runs\\a.dmo"}, {"-play", ""}, {"-level", "my level.vel"}, {"-x", "ab"}}},
      {"\"-record\" \"\"   -demofile=\"a b.dmo\" ", {{"-record", ""}, {"-demofile", "a b.dmo"}}},
      {"   ", {}},
  };
  for (const auto& [text, expected] : cases) {
    ParamLog app;
    app.ParseCommandLineText(text);
    EXPECT_EQ(app.params, expected) << text;
  }
}

TEST(CommandLine, TheProgramPathIsSkippedQuotedOrNot) {
  const std::pair<const char*, Params> cases[] = {
      {"\"C:\\Program Files\\Quarvel\\quarvel.exe\" -play -demofile=x.dmo", {{"-play", ""}, {"-demofile", "x.dmo"}}},
      {"quarvel -screensaver", {{"-screensaver", ""}}},
      {"\"quarvel.exe", {}},  // no closing quote: nothing to parse
      {"quarvel.exe", {}},
  };
  for (const auto& [line, expected] : cases) {
    ScopedCommandLine scoped(line);
    ParamLog app;
    app.ParseCommandLine();
    EXPECT_TRUE(app.mCmdLineParsed);
    EXPECT_EQ(app.params, expected) << line;
  }
}

TEST(CommandLine, DemoFileAndPlaySelectThatFileForPlayback) {
  ScopedCommandLine line("quarvel.exe -demofile=runs\\a.dmo -play");
  Kit::KitAppBase app;
  app.ParseCommandLine();
  EXPECT_EQ(app.mDemoFileName, "runs\\a.dmo");
  EXPECT_TRUE(app.mPlayingDemoBuffer);
  EXPECT_FALSE(app.mRecordingDemoBuffer);
  app.ParseCommandLineText("-record");
  EXPECT_TRUE(app.mRecordingDemoBuffer);
  EXPECT_FALSE(app.mPlayingDemoBuffer);
}

TEST(CommandLine, ScreenSaverAndCrashSwitchesAreAccepted) {
  Kit::KitAppBase app;
  app.ParseCommandLineText("-crash -screensaver");
  EXPECT_TRUE(app.mIsScreenSaver);
  EXPECT_TRUE(app.IsScreenSaver());
}

TEST(CommandLine, AnUnknownSwitchEndsTheProgramWithItsName) {
  Kit::KitAppBase app;
  const plat::ShownMessageBox box = testsupport::FatalEnd([&] { app.ParseCommandLineText("-play -fullscreen"); });
  EXPECT_EQ(box.text, "Invalid Command Line Param: -fullscreen");
  EXPECT_EQ(box.caption, "FATAL ERROR");
}

// The demo file a numbering switch picks in a folder, and the files left there. Only the prefix
// followed by a number counts; recording keeps the newest ones (five by default), playing deletes
// nothing.
struct DemoNumbering {
  const char* name;
  std::vector<std::string> files;
  const char* line;
  const char* chosen;
  std::vector<std::string> left;
};

void PrintTo(const DemoNumbering& c, std::ostream* out) { *out << c.name; }

class DemoNumbers : public testing::TestWithParam<DemoNumbering> {};

TEST_P(DemoNumbers, PickTheFileAndKeepTheNewest) {
  testsupport::TempDir folder;
  for (const std::string& name : GetParam().files) folder.Write(name, "demo");
  Kit::KitAppBase app;
  app.mDemoPrefix = folder / "kit";
  app.ParseCommandLineText(GetParam().line);
  EXPECT_EQ(app.mDemoFileName, folder / GetParam().chosen);
  EXPECT_EQ(app.mRecordingDemoBuffer, std::string(GetParam().line).starts_with("-rec"));
  EXPECT_EQ(app.mPlayingDemoBuffer, !app.mRecordingDemoBuffer);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, GetParam().left);
}

const std::vector<std::string> kOdd{"kit.dmo",   "kit12.DMO", "kit3.dmo",   "kit4.dmo.bak",
                                    "kit7x.dmo", "kitX.dmo",  "other40.dmo"};
const std::vector<std::string> kFive{"kit1.dmo", "kit2.dmo", "kit3.dmo", "kit4.dmo", "kit5.dmo"};
const std::vector<std::string> kNewest{"kit4.dmo", "kit5.dmo", "kit6.dmo", "kit7.dmo"};

INSTANTIATE_TEST_SUITE_P(
    Switches, DemoNumbers,
    testing::Values(
        DemoNumbering{"OnlyThePrefixAndANumberCount", kOdd, "-recnum=9", "kit13.dmo", kOdd},
        DemoNumbering{
            "RecNumKeepsFiveByDefault", kFive, "-recnum", "kit6.dmo", {"kit2.dmo", "kit3.dmo", "kit4.dmo", "kit5.dmo"}},
        DemoNumbering{"FewerToKeepDeletesTheOldest",
                      {"KIT05.dmo", "kit1.dmo", "kit2.dmo", "kit3.dmo", "kit4.dmo"},
                      "-recnum=2",
                      "kit6.dmo",
                      {"KIT05.dmo"}},
        DemoNumbering{"AnEmptyFolderStartsAtOne", {}, "-recnum=0", "kit1.dmo", {}},
        DemoNumbering{"PlayNumIsTheNewest", kNewest, "-playnum", "kit7.dmo", kNewest},
        DemoNumbering{"PlayNumCountsBack", kNewest, "-playnum=2", "kit6.dmo", kNewest},
        DemoNumbering{"PlayNumOfTheLowestNumberIsTheNewest", kNewest, "-playnum=-2147483648", "kit7.dmo", kNewest},
        DemoNumbering{"PlayNumFarBackPassesTheLowestNumber",
                      {"kit-5.dmo"},
                      "-playnum=2147483647",
                      "kit-2147483651.dmo",
                      {"kit-5.dmo"}}),
    testing::PrintToStringParamName());

// The oldest recording goes from the folder its name was read in, by that name: the player's own copy,
// even one the game's data would stand in for when read (a pipe), never the game's file of that name.
TEST(CommandLine, RecNumDeletesTheOldestFromTheFolderItWasFoundIn) {
  testsupport::TempDir player;
  testsupport::TempDir data;
  ASSERT_EQ(::mkfifo((player / "kit1.dmo").c_str(), 0600), 0);
  for (const char* name : {"kit2.dmo", "kit3.dmo", "kit4.dmo", "kit5.dmo"}) player.Write(name, "demo");
  const std::string games = data.Write("kit1.dmo", "the game's");
  const testsupport::ScopedSearchFolders folders(player.Path(), data.Path());
  Kit::KitAppBase app;
  app.mDemoPrefix = "kit";
  app.ParseCommandLineText("-recnum");
  EXPECT_EQ(app.mDemoFileName, "kit6.dmo");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(player.Path() / "kit1.dmo")));
  EXPECT_EQ(testsupport::ReadFileContents(games), "the game's");
}

}  // namespace
