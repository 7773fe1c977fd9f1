// The developer's tools: the debug keys, the overlays' texts, screenshot numbering, the image dump,
// the tweakable constants, and steering a played demo with its keys and dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>

#include "framework/app/demo/DemoPlaybackControls.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/app/devtools/DebugOverlays.h"
#include "framework/app/devtools/DeveloperFiles.h"
#include "framework/app/devtools/ModValues.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/files/ReplacedFilesLog.h"
#include "platform/win/input/InputInjector.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/PlayerPermissions.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestWindow.h"

namespace {

// The loop test application on a stopped clock.
class DebugKeysTest : public testing::Test {
 protected:
  bool Press(int key, bool ctrl = false, bool shift = false) {
    mApp.mWidgetManager->mKeyDownTable[VK_CONTROL] = ctrl;
    mApp.mWidgetManager->mKeyDownTable[VK_SHIFT] = shift;
    return mApp.DebugKeyDown(key);
  }
  void Type(char character) { mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, static_cast<WPARAM>(character), 0); }

  plat::FakeClock mClock;
  plat::ScopedClock mScoped{mClock};
  Kit::DemoStream mStream;
  apptest::LoopApp mApp;
};

TEST_F(DebugKeysTest, PauseAndSpeedKeys) {
  EXPECT_TRUE(Press(VK_F10));
  EXPECT_EQ(mApp.mPauseState, 1);
  EXPECT_TRUE(Press(VK_F10, false, true));
  EXPECT_EQ(mApp.mPauseState, 0);
  const double speeds[] = {0.25, 1.0, 0.25};
  for (double speed : speeds) {
    EXPECT_TRUE(Press(VK_F10, true));
    EXPECT_EQ(mApp.mUpdateMultiplier, speed);
  }
  mApp.mUpdateMultiplier = 1.5;
  Press(VK_F10, true);
  EXPECT_EQ(mApp.mUpdateMultiplier, 0.25) << "anything but 0.25 becomes 0.25";
}

TEST_F(DebugKeysTest, OverlayKeysToggleAndCycleTheMode) {
  const struct {
    bool shift;
    bool shown;
    int mode;
  } presses[] = {{false, true, 0}, {false, false, 0}, {true, true, 1}, {true, true, 0}, {false, false, 0}};
  for (const auto& p : presses) {
    EXPECT_FALSE(Press(VK_F3, false, p.shift)) << "F3 goes on to the widgets";
    EXPECT_EQ(mApp.mShowFPS, p.shown);
    EXPECT_EQ(mApp.mFpsMode, p.mode);
  }
}

// An image dump whose folder cannot be made is told in a box naming the folder, as a failed screenshot
// is: a file stands there, or the folder keeps what the deletion could not remove (a sub-folder the
// player made read-only). Neither goes by waiting, so the game is not held.
TEST_F(DebugKeysTest, AnImageDumpWithoutItsFolderIsToldAtOnce) {
  for (const bool file : {true, false}) {
    testsupport::TempDir home;
    testsupport::ScopedSearchFolders folders(home.Path(), "");
    plat::ScopedMessageBoxScript boxes;
    const std::filesystem::path locked = home.Path() / "_dump/locked";
    if (file) {
      home.Write("_dump", "a file where the folder belongs");
    } else {
      home.Write("_dump/locked/img0000.png", "kept");
      std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    const DWORD before = timeGetTime();
    {
      const testsupport::ScopedPlayerPermissions player;
      EXPECT_TRUE(Press(VK_F11, false, true));
    }
    if (!file) std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_EQ(timeGetTime(), before);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "Image Dump");
    EXPECT_NE(boxes.Shown()[0].text.find(home / "_dump"), std::string::npos) << boxes.Shown()[0].text;
  }
}

TEST_F(DebugKeysTest, ToolsWithoutADisplayDoNothingHarmful) {
  plat::ScopedMessageBoxScript boxes;
  EXPECT_TRUE(Press(VK_F11));
  EXPECT_TRUE(Press(VK_F8));
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].caption, "Video Stats");
  EXPECT_NE(boxes.Shown()[0].text.find("3D-Mode is OFF"), std::string::npos);
}

// On the real clock: the profiler measures the processor's speed against it.
TEST(DebugKeys, ProfilerKeyStartsAndReports) {
  apptest::LoopApp app;
  plat::ScopedMessageBoxScript boxes;
  EXPECT_FALSE(app.DebugKeyDown(VK_F2));
  EXPECT_FALSE(app.DebugKeyDown(VK_F2));
  ASSERT_EQ(boxes.Shown().size(), 1u);
  EXPECT_EQ(boxes.Shown()[0].caption, "Perf Results");
}

TEST(DebugOverlays, FrameRateIsZeroFirstThenCountedOverASecond) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  Kit::DebugOverlays overlays;
  overlays.RestartFrameRate();
  EXPECT_TRUE(overlays.CountFrame());
  EXPECT_EQ(overlays.FrameRateText(), "FPS: 0");
  for (int frame = 0; frame < 59; ++frame) {
    clock.AdvanceMillis(16);
    EXPECT_FALSE(overlays.CountFrame());
  }
  clock.AdvanceMillis(60);
  EXPECT_TRUE(overlays.CountFrame());
  EXPECT_EQ(overlays.FrameRateText(), "FPS: 60");
}

TEST(DebugOverlays, TextsOfTheMouseAndTheDemoClock) {
  EXPECT_EQ(Kit::DebugOverlays::MouseText(12, -3), "12,-3");
  EXPECT_EQ(Kit::DebugOverlays::DemoClockText(6000, 10), "00:01:00");
  EXPECT_EQ(Kit::DebugOverlays::DemoClockText(370000, 10), "01:01:40");
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  Kit::DebugOverlays overlays;
  EXPECT_TRUE(overlays.DemoClockDue(2.0));
  clock.AdvanceMillis(499);
  EXPECT_FALSE(overlays.DemoClockDue(2.0));
  clock.AdvanceMillis(1);
  EXPECT_TRUE(overlays.DemoClockDue(2.0));
}

TEST(Screenshots, NumberedAfterTheHighestExisting) {
  testsupport::TempDir folder;
  EXPECT_EQ(Kit::NextScreenshotNumber(folder.Path().string()), 1);
  for (const char* name : {"image7.png", "IMAGE12.PNG", "image.png", "image99x.png", "shot40.png", "image50.jpg"})
    folder.Write(name, "");
  EXPECT_EQ(Kit::NextScreenshotNumber(folder.Path().string()), 13);
}

// Only a folder standing in the way may go by waiting (another program may be removing it): it is tried
// again every 100 ms. A file or a link in the way, or a missing parent, stays; the first failure is final.
TEST(ImageDump, FolderCreationWaitsOnlyForWhatMayGo) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  testsupport::TempDir folder;
  folder.Write("file", "");
  std::filesystem::create_directory(folder / "folder");
  std::filesystem::create_directory_symlink(folder / "folder", folder / "link");
  for (const auto& [name, waited] : {std::pair{"file", 0u}, {"link", 0u}, {"missing/parent", 0u}, {"folder", 200u}}) {
    const DWORD before = timeGetTime();
    EXPECT_FALSE(Kit::CreateFolderPatiently(folder / name, 3)) << name;
    EXPECT_EQ(timeGetTime() - before, waited) << name;
  }
  EXPECT_TRUE(Kit::CreateFolderPatiently(folder / "made", 3));
}

TEST(ImageDump, LargestFirstWithOnePictureAndThumbnailEach) {
  testsupport::TempDir folder;
  std::vector<std::unique_ptr<Kit::MemoryImage>> images;
  for (int size : {2, 5, 3}) {
    images.push_back(std::make_unique<Kit::MemoryImage>());
    const std::vector<std::uint32_t> bits(static_cast<std::size_t>(size * size), 0xFF336699u);
    images.back()->SetBits(bits.data(), size, size);
  }
  images[2]->mHasAlpha = true;
  std::vector<Kit::MemoryImage*> list;
  for (auto& image : images) list.push_back(image.get());
  plat::ScopedReplacedFilesLog written;
  ASSERT_TRUE(Kit::WriteImageDump(folder.Path().string(), list, "Sun Dec  6 23:00:00 2026"));
  // A developer's snapshot: each file whole, none synced to the disk (a sync each froze the window).
  EXPECT_EQ(written.Replaced().size(), 7u);
  for (const plat::ReplacedFile& file : written.Replaced()) EXPECT_FALSE(file.synced) << file.file;

  const std::string page = testsupport::ReadFileContents(folder / "imagelist.html");
  EXPECT_EQ(page.rfind("<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>Sun Dec  6 23:00:00 2026</B>", 0), 0u);
  EXPECT_NE(page.find("Total Image Allocation: 152 bytes<BR>"), std::string::npos);
  const std::size_t first = page.find("5 x 5<BR>100 bytes");
  const std::size_t second = page.find("3 x 3<BR>36 bytes");
  const std::size_t third = page.find("2 x 2<BR>16 bytes");
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_NE(page.find("<TD>HasAlpha</TD>"), std::string::npos);
  EXPECT_NE(page.find("</TABLE></CENTER></BODY></HTML>"), std::string::npos);
  // Four rows, the totals included, each of the picture, the size and eleven item cells.
  const auto count = [&page](const char* text) {
    int found = 0;
    for (std::size_t at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count("<TR>"), 4);
  EXPECT_EQ(count("<TD"), 4 * 13);
  EXPECT_NE(page.find("<TR><TD>Totals</TD><TD>152</TD><TD>152</TD>"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 7);  // the page too
  for (const char* name : {"img0000.png", "img0002.png", "thumb0000.jpg", "thumb0002.jpg"})
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
}

// Tweakable constants read back from a source file written by the test.
class ModValuesTest : public testing::Test {
 protected:
  ModValuesTest() { Kit::ResetModValues(); }
  ~ModValuesTest() override { Kit::ResetModValues(); }

  // A source file dated after the executable, registered as a program file would be.
  std::string Source(const std::string& text, const std::string& name = "Tuning.cpp") {
    const std::string path = mFolder.Write(name, text);
    std::filesystem::last_write_time(path,
                                     std::filesystem::file_time_type::clock::now() + std::chrono::hours(++mHours));
    Kit::RegisterModValSite(path);
    return path;
  }

  testsupport::TempDir mFolder;
  int mHours = 0;
  plat::ScopedMessageBoxScript mBoxes;
};

TEST(ModNumbers, ParseAsTheSourceWritesThem) {
  const struct {
    const char* text;
    bool isInt;
    int intValue;
    bool isDouble;
    double doubleValue;
  } cases[] = {{"0x1F)", true, 31, false, 0},
               {"2.5f)", false, 0, true, 2.5},
               {"3 )", false, 0, false, 0},
               {"-42)", true, -42, true, -42},
               {"-0.25)", false, 0, true, -0.25},
               {"1.)", false, 0, true, 1.0},
               {"0XfF)", true, 255, false, 0},
               {"7", false, 0, false, 0},
               // Decimal integers hold an int; hexadecimal ones a 32-bit pattern.
               {"2147483647)", true, 2147483647, true, 2147483647.0},
               {"-2147483648)", true, -2147483647 - 1, true, -2147483648.0},
               {"2147483648)", false, 0, true, 2147483648.0},
               {"0xFFFFFFFF)", true, -1, false, 0},
               {"0x100000000)", false, 0, false, 0}};
  for (const auto& c : cases) {
    int i = 9;
    double d = 9;
    EXPECT_EQ(Kit::ParseModInt(c.text, i), c.isInt) << c.text;
    EXPECT_EQ(i, c.intValue) << c.text;
    EXPECT_EQ(Kit::ParseModDouble(c.text, d), c.isDouble) << c.text;
    EXPECT_DOUBLE_EQ(d, c.doubleValue) << c.text;
  }
}

TEST_F(ModValuesTest, ReloadTakesTheMarkedValuesOfEachLine) {
  const std::string path = Source(
      "int a = M(0x1F);\n"
      "double b = M(2.5f);\n"
      "int c = XM(5);\n"
      "M(6) starts a line\n"
      "x=M2(7) + M1(8);\n");
  ASSERT_TRUE(Kit::ReparseModValues());
  const Kit::ModValueFile& file = Kit::RegisterModValSite(path);
  EXPECT_EQ(file.mLists[0][1].mIntValue, 31);
  EXPECT_DOUBLE_EQ(file.mLists[0][2].mDoubleValue, 2.5);
  EXPECT_LT(file.mLists[0].size(), 4u) << "neither XM(5) nor M(6) in the first column";
  EXPECT_EQ(file.mLists[2][5].mIntValue, 7);
  EXPECT_EQ(file.mLists[1][5].mIntValue, 8);
  EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), 1, 0), 31);
  EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), 3, 99), 99) << "an unmarked line keeps the literal";
}

TEST_F(ModValuesTest, NumbersBeyondAnIntAreHeldAtItsLimitsByIntegerConstants) {
  const std::string path = Source(
      "a = M(3000000000.0);\n"
      "b = M(-3000000000.0);\n"
      "c = M(3000000000);\n"
      "d = M(" +
      std::string(400, '9') +
      ");\n"
      "e = M(0xFFFFFFFF);\n"
      "f = M(-2.75);\n");
  ASSERT_TRUE(Kit::ReparseModValues());
  const struct {
    int line;
    int intValue;
    double doubleValue;
  } cases[] = {{1, std::numeric_limits<int>::max(), 3e9},
               {2, std::numeric_limits<int>::min(), -3e9},
               {3, std::numeric_limits<int>::max(), 3e9},
               {4, std::numeric_limits<int>::max(), std::numeric_limits<double>::infinity()},
               {5, -1, -1.0},
               {6, -2, -2.75}};
  for (const auto& c : cases) {
    EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), c.line, 0), c.intValue) << "line " << c.line;
    EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), c.line, 0.0), c.doubleValue) << "line " << c.line;
  }
  EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), 5, 0u), 0xFFFFFFFFu) << "a colour reads back whole";
}

TEST_F(ModValuesTest, LinesAreCountedHoweverLongTheyAre) {
  for (const std::size_t length :
       {std::size_t{510}, std::size_t{511}, std::size_t{512}, std::size_t{513}, std::size_t{1500}}) {
    const std::string path = Source("// " + std::string(length, '-') + " k = M(7);\nint b = M(5);\n");
    ASSERT_TRUE(Kit::ReparseModValues()) << length;
    EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), 1, 0), 7) << "the end of a line of " << length;
    EXPECT_EQ(Kit::ModValueAt(0, path.c_str(), 2, 0), 5) << "the line after one of " << length;
    EXPECT_EQ(Kit::RegisterModValSite(path).mLists[0].size(), 3u) << length;
  }
}

TEST_F(ModValuesTest, AReloadThatStopsAtOneFileLeavesTheFilesAfterItWithoutValues) {
  const std::string first = Source("a = M(1);\n", "A.cpp");
  const std::string second = Source("b = M(2);\n", "B.cpp");
  ASSERT_TRUE(Kit::ReparseModValues());
  ASSERT_EQ(Kit::ModValueAt(0, second.c_str(), 1, 0), 2);
  Source("a = M(3) + M(4);\n", "A.cpp");
  EXPECT_FALSE(Kit::ReparseModValues());
  EXPECT_EQ(mBoxes.Shown().back().caption, "MODVAL ERROR");
  EXPECT_EQ(Kit::ModValueAt(0, first.c_str(), 1, 0), 3) << "what was read before the stop holds";
  EXPECT_EQ(Kit::ModValueAt(0, second.c_str(), 1, 0), 0) << "the file after the stop keeps no old value";
  EXPECT_TRUE(Kit::RegisterModValSite(second).mLists[0].empty());
}

TEST_F(ModValuesTest, AChangedConstantIsReadAgain) {
  const std::string path = Source("speed = M(1.5);\n");
  ASSERT_TRUE(Kit::ReparseModValues());
  EXPECT_DOUBLE_EQ(Kit::ModValueAt(0, path.c_str(), 1, 0.0), 1.5);
  Source("speed = M(2.75);\n");
  ASSERT_TRUE(Kit::ReparseModValues());
  EXPECT_DOUBLE_EQ(Kit::ModValueAt(0, path.c_str(), 1, 0.0), 2.75);
  EXPECT_FALSE(Kit::ReparseModValues()) << "nothing changed since";
  ASSERT_EQ(mBoxes.Shown().size(), 1u);
  EXPECT_EQ(mBoxes.Shown()[0].caption, "MODVAL WARNING!");
}

TEST_F(ModValuesTest, ProblemsAreReportedNotFatal) {
  EXPECT_FALSE(Kit::ReparseModValues());
  ASSERT_EQ(mBoxes.Shown().size(), 1u);
  EXPECT_EQ(mBoxes.Shown()[0].text, "WARNING: No file changes detected.  Files parsed: \r\n  none");

  Source("a = M(1) + M(2);\n");
  EXPECT_FALSE(Kit::ReparseModValues());
  EXPECT_EQ(mBoxes.Shown().back().caption, "MODVAL ERROR");

  Source("a = M(1);\n");
  Kit::RegisterModValSite("Missing/NoSuchFile.cpp");
  EXPECT_FALSE(Kit::ReparseModValues());
  EXPECT_EQ(mBoxes.Shown().back().text, "ERROR: Unable to open Missing/NoSuchFile.cpp for reparsing.");
  EXPECT_EQ(mBoxes.Shown().back().caption, "MODVAL ERROR!");
}

TEST_F(ModValuesTest, RelativeNamesAreFoundInTheConfiguredFolder) {
  mFolder.Write("src/Knobs.cpp", "k = M(4);\n");
  Kit::SetModSourceFolder(mFolder.Path().string());
  EXPECT_EQ(Kit::FindModSourceFile("src/Knobs.cpp"), mFolder / "src/Knobs.cpp");
  Kit::SetModSourceFolder("");
}

// Steering a played demo with the keys, on the loop test application and a stopped clock; and the
// playback dialogs.
class PlaybackControlsTest : public DebugKeysTest {
 protected:
  PlaybackControlsTest() {
    Kit::DemoFile file;
    file.mEndUpdate = 10000;
    mStream.StartPlayback(file);
    mApp.mDemoStream = &mStream;
    mApp.ResetTiming(false);
  }
  ~PlaybackControlsTest() override { mApp.mDemoStream = nullptr; }
};

// Jump keys aim at a time before the end; speed keys scale the multiplier and '=' resets it; neither
// does anything while no demo plays.
TEST_F(PlaybackControlsTest, JumpAndSpeedKeys) {
  mApp.mDemoStream = nullptr;
  Type('9');
  Type('+');
  EXPECT_EQ(mApp.mDemoJumpTarget, 0);
  EXPECT_EQ(mApp.mUpdateMultiplier, 1.0);
  mApp.mDemoStream = &mStream;
  const struct {
    char key;
    int target;
    double multiplier;
  } cases[] = {{'0', 10000, 1},    {'9', 9500, 1},    {'8', 9000, 1},    {'7', 7000, 1},
               {'6', 4000, 1},     {'5', 1000, 1},    {'4', -2000, 1},   {'+', -2000, 1.5},
               {'+', -2000, 2.25}, {'-', -2000, 1.5}, {'=', -2000, 1.0}, {'-', -2000, 2.0 / 3.0}};
  for (const auto& c : cases) {
    Type(c.key);
    EXPECT_EQ(mApp.mDemoJumpTarget, c.target) << c.key;
    EXPECT_NEAR(mApp.mUpdateMultiplier, c.multiplier, 1e-12) << c.key;
  }
  mApp.mUpdateCount = 5000;  // a target behind the current update does nothing
  mApp.mPlaybackPaused = true;
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 5000);
  EXPECT_FALSE(mApp.IsMuted());
}

TEST_F(PlaybackControlsTest, AJumpRunsTheUpdatesMutedAndStopsAtTheTarget) {
  Type('9');
  bool mutedThroughout = true;
  mApp.mBusy.mOnUpdate = [&] { mutedThroughout = mutedThroughout && mApp.IsMuted(); };
  mApp.mUpdateState = Kit::KitAppBase::UpdateState::kReadyToTick;
  EXPECT_TRUE(mApp.Process(true));
  // No time passed on the stopped clock: the whole jump ran in one step, and then paced ticks resume.
  EXPECT_EQ(mApp.mBusy.mTicks, 9500);
  EXPECT_TRUE(mutedThroughout);
  EXPECT_FALSE(mApp.mDemoFastForward);
  EXPECT_FALSE(mApp.IsMuted());
}

TEST_F(PlaybackControlsTest, AJumpReplaysTheRecordsOnItsWay) {
  Kit::DemoStream recording;
  recording.StartRecording();
  recording.RecordCommand(0, Kit::DEMO_LOADING_COMPLETED);
  recording.RecordKey(50, Kit::DEMO_KEY_DOWN, 'A');
  recording.RecordKey(70, Kit::DEMO_KEY_UP, 'A');
  mStream.StartPlayback(recording.MakeFile(0, "", 10000));
  Type('9');
  for (int pass = 0; pass < 100 && mApp.mUpdateCount < 9500; ++pass) mApp.UpdateAppStep(nullptr);
  EXPECT_EQ(mApp.mUpdateCount, 9500);
  EXPECT_TRUE(mStream.Exhausted());
}

TEST_F(PlaybackControlsTest, SingleStepWhilePausedRunsOneUpdateAndDrawsIt) {
  Type('p');
  ASSERT_TRUE(mApp.mPlaybackPaused);
  mApp.Cycle();
  mApp.Cycle();
  EXPECT_EQ(mApp.mUpdateCount, 0) << "paused, yet every pass pumps input again";
  const int draws = mApp.mDrawCount;
  Type('n');
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  EXPECT_EQ(mApp.mDrawCount, draws + 1);
  EXPECT_FALSE(mApp.IsMuted()) << "a single step is not muted";
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1);
  Type('P');
  EXPECT_FALSE(mApp.mPlaybackPaused);
}

TEST_F(PlaybackControlsTest, RunToEndShowsAboutOneFrameASecond) {
  Type('m');
  mApp.mBusy.mOnUpdate = [this] { mClock.AdvanceMillis(1); };
  const int draws = mApp.mDrawCount;
  mApp.Process(true);
  EXPECT_EQ(mApp.mUpdateCount, 1000);
  EXPECT_EQ(mApp.mDrawCount, draws + 1);
  EXPECT_TRUE(mApp.mDemoRunToEnd);
}

TEST_F(PlaybackControlsTest, SoundKeyTwiceRestoresBothVolumes) {
  mApp.SetMusicVolume(0.4);
  mApp.SetSfxVolume(0.7);
  Type('s');
  EXPECT_EQ(mApp.GetMusicVolume(), 0.0);
  EXPECT_EQ(mApp.GetSfxVolume(), 0.0);
  Type('S');
  EXPECT_DOUBLE_EQ(mApp.GetMusicVolume(), 0.4);
  EXPECT_DOUBLE_EQ(mApp.GetSfxVolume(), 0.7);
}

constexpr int kMostInt = std::numeric_limits<int>::max(), kLeastInt = std::numeric_limits<int>::min();

TEST(JumpTime, FieldsCombineLeftToRight) {
  const struct {
    const char* text;
    int seconds;
  } cases[] = {{"90", 90},
               {"1:30", 90},
               {"1:00:05", 3605},
               {"x:10", 10},
               {"", 0},
               {"2:", 120},
               // Times no int holds are held at its limits.
               {"99999999999", kMostInt},
               {"-99999999999", kLeastInt},
               {"9999999:99999999:9999999", kMostInt},
               {"99999999999:-99999999999", kMostInt},
               {"-2147483648:59", kLeastInt}};
  for (const auto& c : cases) EXPECT_EQ(Kit::ParseJumpTime(c.text), c.seconds) << c.text;
  EXPECT_EQ(Kit::JumpTargetForTime(10000, Kit::ParseJumpTime("1:30"), 10), 10000 - 9100);
}

TEST(JumpTime, TargetsBeyondAnUpdateCountAreHeldAtItsLimits) {
  EXPECT_EQ(Kit::JumpTargetForTime(10000, kMostInt, 10), kLeastInt) << "before the start: jumps nowhere";
  EXPECT_EQ(Kit::JumpTargetForTime(10000, kLeastInt, 1), kMostInt);
  EXPECT_EQ(Kit::JumpTargetBeforeEnd(kLeastInt, 120000, 10), kLeastInt);
  EXPECT_EQ(Kit::JumpTargetBeforeEnd(10000, 120000, 10), 10000 - 12000);
}

TEST(MarkerList, ShowsOnlyMarkersAheadWithTheTimeLeft) {
  const std::vector<Kit::DemoMarker> markers = {{"start", 50}, {"boss", 400}, {"here", 100}, {"end", 9999}};
  const auto lines = Kit::MarkerListLines(markers, 100, 370000, 10);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].mText, "boss (01:01:36)");
  EXPECT_EQ(lines[0].mUpdateCount, 400);
  EXPECT_EQ(lines[1].mText, "end (01:00:00)");
}

// The Marker List and Jump To Time dialogs answered by injected input, over a test window.
std::function<void(HWND)> gAnswer;

// Answers the dialog that is open once its window exists.
void AnswerOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND dialog = GetActiveWindow();
  plat::inject::SetTargetWindow(dialog);
  gAnswer(dialog);
}

class PlaybackDialogsTest : public testing::Test {
 protected:
  PlaybackDialogsTest() : mRegistry(mFolder / "registry") {
    mApp.mHWnd = testsupport::CreateTestWindow("PlaybackDialogs", "Playback", 0, 0, 320, 240);
    mApp.mRegKey = "Quarvel\\Test";
    mApp.RegistryWriteInteger("Runs", 1);  // the key exists as in a game that saved its settings
    Kit::DemoFile file;
    file.mEndUpdate = 10000;
    file.mMarkers = {{"passed", 10}, {"first", 2000}, {"second", 5000}};
    mStream.StartPlayback(file);
    mApp.mDemoStream = &mStream;
    mApp.mUpdateCount = 100;
  }
  ~PlaybackDialogsTest() override {
    mApp.mDemoStream = nullptr;
    plat::inject::SetTargetWindow(nullptr);
    DestroyWindow(mApp.mHWnd);
    mApp.mHWnd = nullptr;
  }
  void Answer(std::function<void(HWND)> answer) {
    gAnswer = std::move(answer);
    SetTimer(nullptr, 0, 20, AnswerOpenDialog);
  }

  testsupport::TempDir mFolder;
  plat::ScopedRegistryFile mRegistry;
  Kit::DemoStream mStream;
  apptest::LoopApp mApp;
};

TEST_F(PlaybackDialogsTest, JumpToTimeTakesTheTypedTimeAndKeepsIt) {
  Answer([](HWND) {
    plat::inject::Text("1:30");
    plat::inject::Tap("Return");
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'j', 0);
  EXPECT_EQ(mApp.mDemoJumpTarget, 10000 - 9100);

  // The next opening offers the same text, selected, so that typing replaces it.
  std::string offered;
  Answer([&offered](HWND dialog) {
    char text[64] = {};
    GetDlgItemText(dialog, 100, text, sizeof(text));
    offered = text;
    plat::inject::Text("45");
    plat::inject::Tap("Return");
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'J', 0);
  EXPECT_EQ(offered, "1:30");
  EXPECT_EQ(mApp.mDemoJumpTarget, 10000 - 4600);
}

TEST_F(PlaybackDialogsTest, EitherDialogClosedByEscapeChangesNothing) {
  for (const char key : {'j', 'L'}) {
    Answer([](HWND) {
      plat::inject::Text("5");
      plat::inject::Tap("Escape");
    });
    mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, key, 0);
    EXPECT_EQ(mApp.mDemoJumpTarget, 0) << key;
  }
}

// The lines themselves are MarkerListLines' (MarkerList above): "first", then "second".
TEST_F(PlaybackDialogsTest, MarkerListJumpsToTheDoubleClickedMarker) {
  Answer([](HWND dialog) {
    HWND list = GetDlgItem(dialog, 100);
    const int height = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    POINT point{5, height + height / 2};  // the second line
    ClientToScreen(list, &point);
    ScreenToClient(dialog, &point);
    plat::inject::MouseButton(1, true, point.x, point.y, 1);
    plat::inject::MouseButton(1, false, point.x, point.y, 1);
    plat::inject::MouseButton(1, true, point.x, point.y, 2);
    plat::inject::MouseButton(1, false, point.x, point.y, 2);
  });
  mApp.HandleWindowMessage(mApp.mHWnd, WM_CHAR, 'l', 0);
  EXPECT_EQ(mApp.mDemoJumpTarget, 5000);
}

TEST_F(PlaybackDialogsTest, DebugKeysReadTheLiveModifiersWhileADemoPlays) {
  plat::inject::Key("Left Shift", true);
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  mApp.DebugKeyDown(VK_F3);
  plat::inject::Key("Left Shift", false);
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_TRUE(mApp.mShowFPS);
  EXPECT_EQ(mApp.mFpsMode, 1) << "Shift+F3 picks the next overlay";
}

}  // namespace
