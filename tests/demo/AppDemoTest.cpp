// The application's demo stream: the file the command line names, what a recording keeps of the
// registry, files and clipboard, and how a played file gives it back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoFile.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/util/Buffer.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/window/Messages.h"
#include "tests/support/TempDir.h"

namespace {

class AppDemo : public testing::Test {
 protected:
  AppDemo() : mRegistry(mFolder / "registry") {}

  // Records to or plays run.dmo: whether the demo started.
  bool Start(Kit::KitAppBase& app, bool record) {
    app.mProductVersion = "1.0";
    app.mRegKey = "QuarvelDemoTest";
    app.mDemoFileName = mFolder / "run.dmo";
    app.mRecordingDemoBuffer = record;
    app.mPlayingDemoBuffer = !record;
    std::string error;
    const bool started = app.StartDemo(error);
    EXPECT_EQ(error, "");
    return started;
  }

  testsupport::TempDir mFolder;
  plat::ScopedRegistryFile mRegistry;
};

// Keeps the keys that reach the debug keys.
class DebugKeyApp : public Kit::KitAppBase {
 public:
  bool DebugKeyDown(int key) override {
    mDebugKeys.push_back(key);
    return false;
  }
  std::vector<int> mDebugKeys;
};

TEST_F(AppDemo, ARecordedRunIsReplayedFromItsFileWithoutTouchingRegistryOrDisk) {
  const std::string level = mFolder.Write("level.vel", "bricks");
  {
    Kit::KitAppBase recorder;
    ASSERT_TRUE(Start(recorder, true));
    recorder.mUpdateCount = 3;
    ASSERT_TRUE(recorder.RegistryWriteInteger("Volume", 42));
    int volume = 0;
    ASSERT_TRUE(recorder.RegistryReadInteger("Volume", &volume));
    recorder.mUpdateCount = 20;
    Kit::Buffer read;
    ASSERT_TRUE(recorder.ReadBufferFromFile(level, &read));
    std::string clip = "pasted text";
    recorder.DemoSyncString(clip);
    bool tested = true;
    recorder.DemoSyncBool(tested);
    recorder.mUpdateCount = 25;
    recorder.mRandomSeed = 0xCAFE;  // saved with the file when the application goes
  }
  std::filesystem::remove(level);
  {
    // Another machine: the value is not in its registry.
    plat::ScopedRegistryFile elsewhere(mFolder / "elsewhere");
    Kit::KitAppBase player;
    ASSERT_TRUE(Start(player, false));
    ASSERT_NE(player.mDemoStream, nullptr);
    EXPECT_EQ(player.mDemoStream->mSeed, 0xCAFE);
    EXPECT_EQ(player.mDemoStream->mDemoEndUpdate, 25);
    player.mUpdateCount = 3;
    EXPECT_TRUE(player.RegistryWriteInteger("Volume", 7));
    int volume = 0;
    ASSERT_TRUE(player.RegistryReadInteger("Volume", &volume));
    EXPECT_EQ(volume, 42);
    player.mUpdateCount = 20;
    Kit::Buffer read;
    ASSERT_TRUE(player.ReadBufferFromFile(level, &read));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.GetDataPtr()), read.GetDataLen()), "bricks");
    std::string clip = "what the clipboard holds now";
    player.DemoSyncString(clip);
    EXPECT_EQ(clip, "pasted text");
    bool tested = false;
    player.DemoSyncBool(tested);
    EXPECT_TRUE(tested);
    EXPECT_TRUE(player.mDemoStream->Exhausted());

    Kit::KitAppBase live;
    live.mRegKey = "QuarvelDemoTest";
    EXPECT_FALSE(live.RegistryReadInteger("Volume", &volume)) << "the replayed write reached no registry";
  }
}

TEST_F(AppDemo, ARecordingRemovesWhatAKilledRecordingLeftBesideItsFile) {
  // The id of a process that has ended: nothing can be writing under it.
  const pid_t ended = fork();
  ASSERT_GE(ended, 0);
  if (ended == 0) _exit(0);
  int status;
  waitpid(ended, &status, 0);
  const std::string left = mFolder.Write("run.dmo.tmp" + std::to_string(ended) + "-0", "half a recording");
  const std::string writing = mFolder.Write("run.dmo.tmp" + std::to_string(getpid()) + "-9", "being written");
  const std::string other = mFolder.Write("other.dmo.tmp" + std::to_string(ended) + "-0", "not this file's");
  Kit::KitAppBase recorder;
  ASSERT_TRUE(Start(recorder, true));
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_TRUE(std::filesystem::exists(writing));
  EXPECT_TRUE(std::filesystem::exists(other));
}

// A recording whose file cannot be written is refused when the run starts, with the message to show,
// not found out once the run is over.
TEST_F(AppDemo, ARecordingThatCouldNotBeKeptIsRefusedAtTheStart) {
  std::filesystem::create_directory(mFolder / "folder");
  for (const auto& [name, why] : std::vector<std::pair<std::string, std::string>>{
           {mFolder / "folder", "Is a directory"}, {mFolder / "missing/run.dmo", "No such file or directory"}}) {
    Kit::KitAppBase recorder;
    recorder.mDemoFileName = name;
    recorder.mRecordingDemoBuffer = true;
    std::string error;
    EXPECT_FALSE(recorder.StartDemo(error));
    EXPECT_EQ(error, "Could not write demo file: " + name + " (" + why + ")");
    EXPECT_EQ(recorder.mDemoStream, nullptr);
  }
}

// A recording into a named pipe holds it open from the start, so that a reader there already gets the
// recording at the end, not an end of file at the start.
TEST_F(AppDemo, ARecordingIntoAPipeReachesTheReaderThatWasThereAtTheStart) {
  const std::string pipe = mFolder / "run.dmo";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  char bytes[4096];
  {
    Kit::KitAppBase recorder;
    ASSERT_TRUE(Start(recorder, true));
    EXPECT_EQ(::read(reader, bytes, sizeof bytes), -1) << "the reader saw the end before the recording";
  }  // the file is saved when the application goes
  EXPECT_GT(::read(reader, bytes, sizeof bytes), 4) << "no recording came";
  ::close(reader);
}

TEST_F(AppDemo, WhilePlayingLiveInputIsIgnoredButClosingEndsTheRunAndTheStream) {
  {
    Kit::KitAppBase recorder;
    ASSERT_TRUE(Start(recorder, true));
    recorder.RecordDemoMessage(MSG{nullptr, WM_KEYDOWN, 'K', 0, 0, {}});
    recorder.RecordDemoMessage(MSG{nullptr, WM_MOUSEMOVE, 0, (30 << 16) | 40, 0, {}});
  }
  DebugKeyApp player;
  ASSERT_TRUE(Start(player, false));
  player.HandleWindowMessage(player.mHWnd, WM_ACTIVATEAPP, 0, 0);
  EXPECT_TRUE(player.mActive) << "activation comes from the stream";
  player.HandleWindowMessage(player.mHWnd, WM_KEYDOWN, 'L', 0);
  player.HandleWindowMessage(player.mHWnd, WM_KEYUP, 'L', 0);
  EXPECT_EQ(player.mDebugKeys, std::vector<int>{'L'}) << "a live key-down still reaches the debug keys";
  player.ProcessDeferredMessages(false);
  EXPECT_FALSE(player.mWidgetManager->mKeyDownTable['L']);
  EXPECT_EQ(player.mDebugKeys, std::vector<int>{'L'});
  player.PlaybackDemoStep();
  EXPECT_TRUE(player.mWidgetManager->mKeyDownTable['K']) << "the recorded key is replayed";
  EXPECT_EQ(player.mDemoCursorPos.load(), (std::uint64_t{40} << 32) | 30) << "the software cursor follows the replay";
  player.mDeferredMessages.push_back(MSG{player.mInvisHWnd, WM_CLOSE, 0, 0, 0, {}});
  player.ProcessDeferredMessages(false);
  EXPECT_TRUE(player.mQuit);
  EXPECT_TRUE(player.mDemoStream->mDemoUserClosed);
}

TEST_F(AppDemo, AfterTheUserClosedThePlaybackNothingMoreIsRead) {
  {
    Kit::KitAppBase recorder;
    ASSERT_TRUE(Start(recorder, true));
    ASSERT_TRUE(recorder.RegistryWriteInteger("A", 1));
    // The file is saved when the application goes.
  }
  Kit::KitAppBase player;
  ASSERT_TRUE(Start(player, false));
  player.mDemoStream->mDemoUserClosed = true;
  EXPECT_FALSE(player.RegistryWriteInteger("A", 1));
  std::string text = "kept";
  player.DemoSyncString(text);
  EXPECT_EQ(text, "kept");
}

TEST_F(AppDemo, WithoutRecordingOrPlaybackNothingIsSynchronisedOrWritten) {
  Kit::KitAppBase app;
  std::string error;
  ASSERT_TRUE(app.StartDemo(error));
  EXPECT_EQ(app.mDemoStream, nullptr);
  const std::string longText(40000, 'c');
  std::string text = longText;
  app.DemoSyncString(text);
  EXPECT_EQ(text, longText) << "a long clipboard text survives when nothing records";
  app.mDemoFileName = mFolder / "none.dmo";
  app.WriteDemoFile(1);
  EXPECT_FALSE(std::filesystem::exists(app.mDemoFileName));
}

}  // namespace
