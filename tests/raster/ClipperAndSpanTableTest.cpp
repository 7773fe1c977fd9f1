// The software triangle clipper and the choice of span routine.
#include "framework/graphics/TriangleClipper.h"
#include "framework/graphics/TriangleSpans.h"

#include <gtest/gtest.h>

namespace {

using Kit::ClipBounds;
using Kit::SoftwareVertex;

const ClipBounds kBounds{0, 0, 9, 9};

TEST(TriangleClipper, ATriangleInsideComesOutUnchanged) {
  const SoftwareVertex a{1, 1, 0, 0, 1}, b{8, 2, 1, 0, 2}, c{3, 7, 0, 1, 3};
  const Kit::ClippedPolygon p = Kit::ClipTriangle(a, b, c, kBounds);
  ASSERT_EQ(p.mCount, 3);
  EXPECT_EQ(p.mVertices[0].mColor, 1u);
  EXPECT_EQ(p.mVertices[1].mColor, 2u);
  EXPECT_EQ(p.mVertices[2].mColor, 3u);
}

TEST(TriangleClipper, OneVertexLeftOfTheBoundsMakesAQuadrilateralOnTheBoundary) {
  const Kit::ClippedPolygon p = Kit::ClipTriangle({-4, 5, 0, 0}, {6, 1, 1, 0}, {6, 9, 1, 1}, kBounds);
  ASSERT_EQ(p.mCount, 4);
  int onLeft = 0;
  for (int i = 0; i < p.mCount; ++i) {
    EXPECT_GE(p.mVertices[i].mX, 0.0f);
    if (p.mVertices[i].mX == 0.0f) ++onLeft;
  }
  EXPECT_EQ(onLeft, 2);
}

TEST(TriangleClipper, ATriangleWhollyOutsideOneBoundaryVanishes) {
  EXPECT_EQ(Kit::ClipTriangle({10, 1}, {12, 3}, {11, 8}, kBounds).mCount, 0);
  EXPECT_EQ(Kit::ClipTriangle({1, -5}, {5, -1}, {8, -3}, kBounds).mCount, 0);
}

TEST(TriangleClipper, ATriangleCoveringTheBoundsBecomesTheBoundsRectangle) {
  const Kit::ClippedPolygon p = Kit::ClipTriangle({-100, -100}, {300, -100}, {-100, 300}, kBounds);
  ASSERT_EQ(p.mCount, 4);
  for (int i = 0; i < p.mCount; ++i) {
    EXPECT_TRUE(p.mVertices[i].mX == 0 || p.mVertices[i].mX == 9) << p.mVertices[i].mX;
    EXPECT_TRUE(p.mVertices[i].mY == 0 || p.mVertices[i].mY == 9) << p.mVertices[i].mY;
  }
}

TEST(TriangleClipper, InterpolationIsLinearAndColoursTruncatePerChannel) {
  const SoftwareVertex a{0, 0, 0, 0, 0xFF000000}, b{4, 8, 1, 0.5f, 0xFFFFFFFF};
  const SoftwareVertex mid = Kit::InterpolateAtX(a, b, 2);
  EXPECT_FLOAT_EQ(mid.mY, 4);
  EXPECT_FLOAT_EQ(mid.mU, 0.5f);
  EXPECT_FLOAT_EQ(mid.mV, 0.25f);
  EXPECT_EQ(mid.mColor, 0xFF7F7F7Fu);
  const SoftwareVertex quarter = Kit::InterpolateAtY(a, b, 2);
  EXPECT_FLOAT_EQ(quarter.mX, 1);
  EXPECT_EQ(quarter.mColor, 0xFF3F3F3Fu);
}

TEST(SpanRoutineTable, IndexFollowsFeaturesAndFormatGroup) {
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, false, false, false, Kit::FORMAT_CODE_8888), 0);
  EXPECT_EQ(Kit::SpanRoutineIndex(true, true, true, true, true, Kit::FORMAT_CODE_8888), 31);
  EXPECT_EQ(Kit::SpanRoutineIndex(true, false, false, false, false, Kit::FORMAT_CODE_888), 48);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, true, false, true, false, Kit::FORMAT_CODE_565), 64 + 10);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, true, false, true, Kit::FORMAT_CODE_555), 96 + 5);
  EXPECT_EQ(Kit::SpanRoutineIndex(false, false, false, false, false, 0x1234), 0);
  for (int i = 0; i < Kit::SPAN_ROUTINE_COUNT; ++i) EXPECT_NE(Kit::GetSpanRoutine(i), nullptr) << i;
  EXPECT_EQ(Kit::GetSpanRoutine(-1), nullptr);
  EXPECT_EQ(Kit::GetSpanRoutine(Kit::SPAN_ROUTINE_COUNT), nullptr);
}

}  // namespace
