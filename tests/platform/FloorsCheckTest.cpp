// tools/floors, run on a tree of its own that holds one include.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "tests/support/TempDir.h"

namespace {

enum class Verdict { kPasses, kAbove, kAcross, kMisspelt };

struct FloorsCase {
  const char* name;
  const char* file;
  const char* include;  // as written after #include
  Verdict verdict;
};

// In test names and failures: the case's name.
void PrintTo(const FloorsCase& probe, std::ostream* out) { *out << probe.name; }

// What the check says of the include, after "<file>:1: includes ".
std::string Report(const FloorsCase& probe) {
  const std::string include = probe.include;
  switch (probe.verdict) {
    case Verdict::kPasses:
      return "";
    case Verdict::kAbove:
      return include.substr(1, include.size() - 2) + ", which stands above it";
    case Verdict::kAcross:
      return include.substr(1, include.size() - 2) + ", of another folder on its floor";
    case Verdict::kMisspelt:
      return include + ": platform/ includes its own headers as \"platform/...\", from the root";
  }
  return "";
}

class FloorsCheckTest : public testing::TestWithParam<FloorsCase> {};

TEST_P(FloorsCheckTest, PassesOnlyIncludesOfTheFolderOrFloorsBelowSpeltFromTheRoot) {
  const FloorsCase& probe = GetParam();
  testsupport::TempDir tree;
  std::filesystem::create_directories(tree.Path() / "tools");
  std::filesystem::copy_file(KIT_FLOORS_CHECK, tree.Path() / "tools" / "floors");
  tree.Write(probe.file, std::string("#include ") + probe.include + "\n");
  FILE* pipe = ::popen(("cd '" + tree.Path().string() + "' && git init -q && tools/floors 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = ::pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status)) << output;
  const bool refused = probe.verdict != Verdict::kPasses;
  EXPECT_EQ(WEXITSTATUS(status), refused ? 1 : 0) << output;
  const std::string report = std::string(probe.file) + ":1: includes " + Report(probe);
  EXPECT_EQ(output.find(report) != std::string::npos, refused) << output;
}

INSTANTIATE_TEST_SUITE_P(
    Includes, FloorsCheckTest,
    testing::Values(
        FloorsCase{"FloorBelow", "platform/d3d/A.cpp", "\"platform/ddraw/DDraw.h\"", Verdict::kPasses},
        FloorsCase{"OwnFolderFromTheRoot", "platform/gdi/A.cpp", "\"platform/gdi/Gdi.h\"", Verdict::kPasses},
        FloorsCase{"SystemHeader", "platform/ddraw/A.cpp", "<SDL.h>", Verdict::kPasses},
        FloorsCase{"FreeTypeMacro", "platform/gdi/A.cpp", "FT_FREETYPE_H", Verdict::kPasses},
        FloorsCase{"FloorAbove", "platform/ddraw/A.cpp", "\"platform/d3d/D3D.h\"", Verdict::kAbove},
        FloorsCase{"FloorAboveFromAHeader", "platform/bass/A.h", "\"platform/fmod/FMod.h\"", Verdict::kAbove},
        FloorsCase{"AcrossTheFloor", "platform/gdi/A.cpp", "\"platform/d3d/D3D.h\"", Verdict::kAcross},
        FloorsCase{"RelativePath", "platform/ddraw/A.cpp", "\"../gdi/Gdi.h\"", Verdict::kMisspelt},
        FloorsCase{"TreeHeaderInAngleBrackets", "platform/ddraw/A.cpp", "<platform/gdi/Gdi.h>", Verdict::kMisspelt},
        FloorsCase{"OwnFolderByName", "platform/gdi/A.cpp", "\"Gdi.h\"", Verdict::kMisspelt},
        FloorsCase{"OwnFolderFromDot", "platform/gdi/A.cpp", "\"./Gdi.h\"", Verdict::kMisspelt},
        FloorsCase{"RootPathThroughDotDot", "platform/ddraw/A.cpp", "\"platform/ddraw/../gdi/Gdi.h\"",
                   Verdict::kMisspelt},
        FloorsCase{"LayerAbove", "platform/ddraw/A.cpp", "\"framework/app/KitApp.h\"", Verdict::kMisspelt},
        FloorsCase{"OtherMacro", "platform/ddraw/A.cpp", "GDI_HEADER", Verdict::kMisspelt}),
    [](const testing::TestParamInfo<FloorsCase>& info) { return std::string(info.param.name); });

}  // namespace
