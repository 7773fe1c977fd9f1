// The renderer strings of OpenGL drivers: only rasterizers that run on the CPU send the frames to SDL's
// software path; a GPU keeps its OpenGL renderer, also where its string names LLVM as its compiler.
#include "platform/ddraw/RendererChoice.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace {

struct GlRendererCase {
  const char* name;
  bool cpu;
};

// The first letters and digits of the string: the case's name.
void PrintTo(const GlRendererCase& renderer, std::ostream* out) {
  std::string name;
  for (const char* c = renderer.name; *c && name.size() < 24; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  *out << (name.empty() ? "Empty" : name);
}

class RendererChoiceTest : public testing::TestWithParam<GlRendererCase> {};

TEST_P(RendererChoiceTest, OnlyCpuRasterizersAreTakenForSoftware) {
  EXPECT_EQ(plat::ddraw::NamesCpuRasterizer(GetParam().name), GetParam().cpu) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    GlDrivers, RendererChoiceTest,
    testing::Values(GlRendererCase{"llvmpipe (LLVM 15.0.6, 256 bits)", true}, GlRendererCase{"softpipe", true},
                    GlRendererCase{"Software Rasterizer", true}, GlRendererCase{"Mesa DRI swrast", true},
                    GlRendererCase{"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
                    GlRendererCase{"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-9-amd64)", false},
                    GlRendererCase{"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
                    GlRendererCase{"virgl (Mesa)", false}, GlRendererCase{"", false}),
    testing::PrintToStringParamName());

}  // namespace
