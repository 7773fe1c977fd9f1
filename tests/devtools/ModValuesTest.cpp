// Tweakable constants read back from a source file written by the test.
#include <gtest/gtest.h>

#include <filesystem>

#include "framework/util/ModValues.h"
#include "platform/win/MessageBox.h"
#include "tests/support/TempDir.h"

namespace {

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
