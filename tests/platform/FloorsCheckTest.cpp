// tools/floors, run on a tree of its own that holds one include.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "tests/support/TempDir.h"

namespace {

struct FloorsCase {
  const char* name;
  const char* file;
  const char* include;
  const char* report;  // empty where the check passes
};

void PrintTo(const FloorsCase& c, std::ostream* out) { *out << c.name; }

class FloorsCheckTest : public testing::TestWithParam<FloorsCase> {};

TEST_P(FloorsCheckTest, PassesOnlyIncludesOfTheFolderOrFloorsBelow) {
  const FloorsCase& probe = GetParam();
  testsupport::TempDir tree;
  std::filesystem::create_directories(tree.Path() / "tools");
  std::filesystem::copy_file(KIT_FLOORS_CHECK, tree.Path() / "tools" / "floors");
  tree.Write(probe.file, std::string("#include \"") + probe.include + "\"\n");
  FILE* pipe = ::popen(("cd '" + tree.Path().string() + "' && git init -q && tools/floors 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  const int status = ::pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status)) << output;
  EXPECT_EQ(WEXITSTATUS(status), *probe.report ? 1 : 0) << output;
  const std::string report = std::string(probe.file) + ":1: includes " + probe.report;
  EXPECT_EQ(output.find(report) != std::string::npos, *probe.report != '\0') << output;
}

INSTANTIATE_TEST_SUITE_P(Includes, FloorsCheckTest,
                         testing::Values(FloorsCase{"Below", "platform/d3d/A.cpp", "platform/ddraw/DDraw.h", ""},
                                         FloorsCase{"Above", "platform/ddraw/A.cpp", "platform/d3d/D3D.h",
                                                    "platform/d3d/D3D.h, which stands above it"},
                                         FloorsCase{"AboveFromAHeader", "platform/bass/A.h", "platform/fmod/FMod.h",
                                                    "platform/fmod/FMod.h, which stands above it"},
                                         FloorsCase{"Across", "platform/gdi/A.cpp", "platform/d3d/D3D.h",
                                                    "platform/d3d/D3D.h, of another folder"}),
                         testing::PrintToStringParamName());

}  // namespace
