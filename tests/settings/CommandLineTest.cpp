#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Process.h"
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
  plat::ScopedMessageBoxScript boxes;
  plat::ScopedExitCatcher exits;
  Kit::KitAppBase app;
  try {
    app.ParseCommandLineText("-play -fullscreen");
    FAIL() << "the program went on";
  } catch (const plat::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].text, "Invalid Command Line Param: -fullscreen");
  EXPECT_EQ(boxes.Shown()[0].caption, "FATAL ERROR");
}

class DemoNumbers : public testing::Test {
 protected:
  void Make(std::initializer_list<const char*> names) {
    for (const char* name : names) mFolder.Write(name, "demo");
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder.Path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  testsupport::TempDir mFolder;
  Kit::KitAppBase mApp;
};

TEST_F(DemoNumbers, OnlyFilesOfThePrefixAndANumberCount) {
  Make({"run3.dmo", "run12.DMO", "runX.dmo", "run4.dmo.bak", "other40.dmo", "run.dmo", "run7x.dmo"});
  EXPECT_EQ(mApp.GetNextDemoNumber(mFolder / "run", 5, false), 12);
  EXPECT_EQ(mApp.GetNextDemoNumber(mFolder / "none", 5, false), 0);
}

TEST_F(DemoNumbers, RecNumKeepsFiveRecordingsByDefault) {
  Make({"kit1.dmo", "kit2.dmo", "kit3.dmo", "kit4.dmo", "kit5.dmo"});
  mApp.mDemoPrefix = mFolder / "kit";
  mApp.ParseCommandLineText("-recnum");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit6.dmo");
  EXPECT_TRUE(mApp.mRecordingDemoBuffer);
  EXPECT_EQ(Files(), (std::vector<std::string>{"kit2.dmo", "kit3.dmo", "kit4.dmo", "kit5.dmo"}));
}

TEST_F(DemoNumbers, RecNumWithFewerToKeepDeletesTheOldestDownToIt) {
  Make({"kit1.dmo", "kit2.dmo", "kit3.dmo", "kit4.dmo", "KIT05.dmo"});
  mApp.mDemoPrefix = mFolder / "kit";
  mApp.ParseCommandLineText("-recnum=2");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit6.dmo");
  EXPECT_EQ(Files(), (std::vector<std::string>{"KIT05.dmo"}));
}

TEST_F(DemoNumbers, RecNumInAnEmptyFolderStartsAtOne) {
  mApp.mDemoPrefix = mFolder / "kit";
  mApp.ParseCommandLineText("-recnum=0");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit1.dmo");
}

TEST_F(DemoNumbers, PlayNumCountsBackFromTheNewest) {
  Make({"kit4.dmo", "kit5.dmo", "kit6.dmo", "kit7.dmo"});
  mApp.mDemoPrefix = mFolder / "kit";
  mApp.ParseCommandLineText("-playnum=1");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit7.dmo");
  EXPECT_TRUE(mApp.mPlayingDemoBuffer);
  mApp.ParseCommandLineText("-playnum=2");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit6.dmo");
  mApp.ParseCommandLineText("-playnum");
  EXPECT_EQ(mApp.mDemoFileName, mFolder / "kit7.dmo");
  EXPECT_EQ(Files().size(), 4u);  // playing deletes nothing
}

}  // namespace
