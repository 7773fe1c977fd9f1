// The debug keys, the overlays' texts, screenshot numbering, the image dump and the tweakable
// constants.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/app/DebugOverlays.h"
#include "framework/app/DeveloperFiles.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/ModValues.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Time.h"
#include "platform/win/VirtualKeys.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

class DebugKeysTest : public testing::Test {
 protected:
  bool Press(int key, bool ctrl = false, bool shift = false) {
    mApp.mWidgetManager->mKeyDownTable[VK_CONTROL] = ctrl;
    mApp.mWidgetManager->mKeyDownTable[VK_SHIFT] = shift;
    return mApp.DebugKeyDown(key);
  }
  plat::FakeClock mClock;
  plat::ScopedClock mScoped{mClock};
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
    EXPECT_EQ(mApp.mFPSMode, p.mode);
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

TEST(ImageDump, FolderCreationGivesUp) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  testsupport::TempDir folder;
  EXPECT_FALSE(Kit::CreateFolderPatiently(folder / "missing/parent/_dump", 3));
  EXPECT_EQ(timeGetTime() - 1000u, 200u) << "two waits of 100 ms between three tries";
  EXPECT_TRUE(Kit::CreateFolderPatiently(folder / "_dump", 3));
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
  ASSERT_TRUE(Kit::WriteImageDump(folder.Path().string(), list, "Sun Dec  6 23:00:00 2026"));

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
  std::string Source(const std::string& text) {
    const std::string path = mFolder.Write("Tuning.cpp", text);
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
  } cases[] = {{"0x1F)", true, 31, false, 0},  {"2.5f)", false, 0, true, 2.5},    {"3 )", false, 0, false, 0},
               {"-42)", true, -42, true, -42}, {"-0.25)", false, 0, true, -0.25}, {"1.)", false, 0, true, 1.0},
               {"0XfF)", true, 255, false, 0}, {"7", false, 0, false, 0}};
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

}  // namespace
