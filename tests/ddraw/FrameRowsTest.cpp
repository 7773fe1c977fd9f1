// The window is given 5-6-5, 5-5-5 and 32-bit frames widened by our own rows: every pixel value must show
// as the colour the window has always shown for it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/cpu/SimdLevel.h"
#include "platform/ddraw/FrameRows.h"
#include "platform/ddraw/PresentedFrame.h"

namespace {

using plat::ddraw::FrameFormat;
using plat::ddraw::FrameWidth;
using plat::ddraw::PixelLayout;

struct Case {
  FrameFormat format;
  PixelLayout layout;
  DWORD values;  // every value below this, or a spread of values past 16 bits
};

class FrameRowsTest : public testing::TestWithParam<Case> {};

TEST_P(FrameRowsTest, EveryValueWidensToTheColourTheWindowShowsForIt) {
  const Case& c = GetParam();
  ASSERT_EQ(plat::ddraw::FrameFormatOf(c.layout), c.format);
  const int bytes = c.layout.bytesPerPixel;
  std::vector<DWORD> values;
  for (DWORD v = 0; v < std::min<DWORD>(c.values, 0x10000); ++v) values.push_back(bytes == 4 ? v * 0x1F3 + v : v);
  std::vector<BYTE> row(values.size() * bytes);
  for (size_t i = 0; i < values.size(); ++i) std::memcpy(&row[i * bytes], &values[i], bytes);
  const DDPIXELFORMAT format = c.layout.ToPixelFormat();
  for (FrameWidth width : {FrameWidth::k1, FrameWidth::k8, FrameWidth::k16}) {
    if (width > plat::ddraw::WidestFrameWidth()) continue;
    // A short row first (single pixels only), then the rest from an odd place (wide steps and a tail).
    std::vector<std::uint32_t> shown(values.size());
    plat::ddraw::WidenRow(c.format, row.data(), shown.data(), 5, width);
    plat::ddraw::WidenRow(c.format, row.data() + 5 * bytes, shown.data() + 5, static_cast<int>(values.size() - 5),
                          width);
    int wrong = 0;
    for (size_t i = 0; i < values.size(); ++i) {
      if (shown[i] != (0xFF000000u | plat::ShownColorOf(values[i], format)) && wrong++ < 5)
        ADD_FAILURE() << std::hex << values[i] << " shows " << shown[i] << " in steps of " << static_cast<int>(width);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, FrameRowsTest,
                         testing::Values(Case{FrameFormat::kRgb565, PixelLayout::Rgb565(), 0x10000},
                                         Case{FrameFormat::kRgb555, PixelLayout::Rgb555(), 0x8000},
                                         Case{FrameFormat::kXrgb8888, PixelLayout::Xrgb8888(), 0x10000}));

TEST(FrameRowsTest, LayoutsShownAsTheyAreHaveNoWidening) {
  EXPECT_FALSE(plat::ddraw::FrameFormatOf(PixelLayout::Rgb888()));
  EXPECT_FALSE(plat::ddraw::FrameFormatOf(PixelLayout::Palette8()));
  EXPECT_FALSE(plat::ddraw::FrameFormatOf(PixelLayout{4, 0xFF, 0xFF00, 0xFF0000, 0, false}));
}

// The frame rows take the width every row kernel of the program takes: a lowered level lowers theirs.
TEST(FrameRowsTest, TheWidestStepFollowsTheProgramsVectorLevel) {
  using plat::simd::Level;
  const struct {
    Level level;
    FrameWidth widest;
  } rows[] = {{Level::kScalar, FrameWidth::k1}, {Level::kSse2, FrameWidth::k8}, {Level::kAvx2, FrameWidth::k16}};
  for (const auto& row : rows) {
    if (row.level > plat::simd::Supported()) continue;
    plat::simd::Limit(row.level);
    EXPECT_EQ(plat::ddraw::WidestFrameWidth(), row.widest) << static_cast<int>(row.level);
  }
  plat::simd::Limit(Level::kAvx2);
}

}  // namespace
