// The software triangle clipper's interpolation and the choice of span routine. Clipping itself is
// judged by the triangle blits (MatrixBltTest).
#include "framework/graphics/raster/TriangleClipper.h"
#include "framework/graphics/raster/TriangleSpans.h"

#include <gtest/gtest.h>

namespace {

using Kit::ClipBounds;
using Kit::TriVertex;

const ClipBounds kBounds{0, 0, 9, 9};

TEST(TriangleClipper, InterpolationIsLinearAndColoursTruncatePerChannel) {
  const TriVertex a{0, 0, 0, 0, 0xFF000000}, b{4, 8, 1, 0.5f, 0xFFFFFFFF};
  const TriVertex mid = Kit::InterpolateAtX(a, b, 2);
  EXPECT_FLOAT_EQ(mid.mY, 4);
  EXPECT_FLOAT_EQ(mid.mU, 0.5f);
  EXPECT_FLOAT_EQ(mid.mV, 0.25f);
  EXPECT_EQ(mid.mColor, 0xFF7F7F7Fu);
  const TriVertex quarter = Kit::InterpolateAtY(a, b, 2);
  EXPECT_FLOAT_EQ(quarter.mX, 1);
  EXPECT_EQ(quarter.mColor, 0xFF3F3F3Fu);
}

TEST(SpanRoutineTable, IndexFollowsFeaturesAndFormatGroup) {
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, false, false, false, Kit::kFormatCode8888), 0);
  EXPECT_EQ(Kit::SpanRoutineIndex(true, true, true, true, true, Kit::kFormatCode8888), 31);
  EXPECT_EQ(Kit::SpanRoutineIndex(true, false, false, false, false, Kit::kFormatCode888), 48);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, true, false, true, false, Kit::kFormatCode565), 64 + 10);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, true, false, true, Kit::kFormatCode555), 96 + 5);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, false, false, false, 0x1234), 0);
  for (int i = 0; i < Kit::kSpanRoutineCount; ++i) EXPECT_NE(Kit::GetSpanRoutine(i), nullptr) << i;
  EXPECT_EQ(Kit::GetSpanRoutine(-1), nullptr);
  EXPECT_EQ(Kit::GetSpanRoutine(Kit::kSpanRoutineCount), nullptr);
}

}  // namespace
