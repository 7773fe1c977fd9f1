// The window is given 5-6-5, 5-5-5 and 32-bit frames widened by our own rows: every pixel value must show
// as the colour the window has always shown for it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/cpu/SimdLevel.h"
#include "platform/ddraw/FrameRows.h"
#include "platform/ddraw/PresentedFrame.h"

namespace {

using plat::ddraw::FrameFormat;
using plat::ddraw::FrameWidth;
using plat::ddraw::PixelLayout;

struct Case {
  const char* name;
  FrameFormat format;
  PixelLayout layout;
  DWORD values;  // every value below this, or a spread of values past 16 bits
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

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
                         testing::Values(Case{"Rgb565", FrameFormat::kRgb565, PixelLayout::Rgb565(), 0x10000},
                                         Case{"Rgb555", FrameFormat::kRgb555, PixelLayout::Rgb555(), 0x8000},
                                         Case{"Xrgb8888", FrameFormat::kXrgb8888, PixelLayout::Xrgb8888(), 0x10000}),
                         testing::PrintToStringParamName());

// A scaled frame's row spread at every step width the processor has: stretched, shrunk, repeated and
// scattered columns, every count up to a few steps and a tail, each pixel from its own column.
TEST(FrameRowsTest, SpreadRowsTakeEachPixelFromItsColumn) {
  std::vector<std::uint32_t> row(97);
  for (size_t i = 0; i < row.size(); ++i) row[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x10307);
  std::mt19937 rng(5);
  const int n = static_cast<int>(row.size());
  const struct {
    const char* name;
    std::function<int(int)> column;
  } patterns[] = {
      {"stretched", [n](int x) { return static_cast<int>((2LL * x + 1) * n / (2 * 128)); }},
      {"shrunk", [](int x) { return x * 2 + 1; }},
      {"repeated", [](int) { return 96; }},
      {"scattered", [&rng, n](int) { return static_cast<int>(rng() % n); }},
  };
  for (const auto& pattern : patterns)
    for (FrameWidth width : {FrameWidth::k1, FrameWidth::k8, FrameWidth::k16}) {
      if (width > plat::ddraw::WidestFrameWidth()) continue;
      for (int count = 0; count <= 45; ++count) {
        SCOPED_TRACE(std::string(pattern.name) + " count " + std::to_string(count) + " width " +
                     std::to_string(static_cast<int>(width)));
        std::vector<int> columns(static_cast<size_t>(count));
        for (int x = 0; x < count; ++x) columns[x] = pattern.column(x);
        std::vector<std::uint32_t> out(static_cast<size_t>(count) + 1, 0x12345678u);
        plat::ddraw::SpreadRow(row.data(), columns.data(), out.data(), count, width);
        for (int x = 0; x < count; ++x) ASSERT_EQ(out[x], row[columns[x]]) << x;
        EXPECT_EQ(out[count], 0x12345678u);  // nothing past the row
      }
    }
}

// A 32-bit row copied and made opaque in one pass, at every step width and count up to a few steps and
// a tail, from an odd place: the copy keeps every byte (alpha too), the window row is opaque, and
// neither is written past the count.
TEST(FrameRowsTest, ACopiedRowIsExactAndItsWindowRowOpaque) {
  constexpr std::uint32_t kUntouched = 0x12345678u;
  for (FrameWidth width : {FrameWidth::k1, FrameWidth::k8, FrameWidth::k16}) {
    if (width > plat::ddraw::WidestFrameWidth()) continue;
    for (int count = 0; count <= 75; ++count) {
      SCOPED_TRACE("count " + std::to_string(count) + " width " + std::to_string(static_cast<int>(width)));
      std::vector<std::uint32_t> pixels(static_cast<size_t>(count) + 1);
      for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint32_t>(i * 2654435761u);
      std::vector<BYTE> from(pixels.size() * 4 + 1), copy(from.size(), 0x5A);
      std::memcpy(from.data() + 1, pixels.data(), pixels.size() * 4);
      std::vector<std::uint32_t> opaque(pixels.size(), kUntouched);
      plat::ddraw::CopyOpaqueRow(from.data() + 1, copy.data() + 1, opaque.data(), count, width);
      EXPECT_EQ(copy[0], 0x5A);
      EXPECT_EQ(std::memcmp(copy.data() + 1, from.data() + 1, static_cast<size_t>(count) * 4), 0);
      EXPECT_EQ(copy[static_cast<size_t>(count) * 4 + 1], 0x5A);  // nothing past the row
      for (int x = 0; x < count; ++x) ASSERT_EQ(opaque[x], 0xFF000000u | pixels[x]) << x;
      EXPECT_EQ(opaque[count], kUntouched);
    }
  }
}

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
