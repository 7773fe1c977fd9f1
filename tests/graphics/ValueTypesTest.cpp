#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/Transform2D.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

using Kit::Color;
using Kit::Rect;

TEST(Color, PackedValueWithoutAlphaIsOpaque) {
  EXPECT_EQ(Color(0x00FF0000u), Color(255, 0, 0, 255));
  EXPECT_EQ(Color(0x80FF0000u), Color(255, 0, 0, 128));
  EXPECT_EQ(Color(0x01123456u), Color(0x12, 0x34, 0x56, 1));
}

TEST(Color, ToIntPacksUnmasked) {
  EXPECT_EQ(Color(255, 0, 0, 255).ToInt(), 0xFFFF0000u);
  EXPECT_EQ(Color(0x12, 0x34, 0x56, 0x78).ToInt(), 0x78123456u);
  // An out-of-range component spills into its neighbour: stored values depend on this packing.
  EXPECT_EQ(Color(0, 256, 0, 0).ToInt(), 0x00010000u);
  EXPECT_EQ(Color(Color(10, 20, 30, 40).ToInt()), Color(10, 20, 30, 40));
  EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
  EXPECT_EQ(Color::Opaque(Color(1, 2, 3, 4)), Color(1, 2, 3));
}

TEST(Rect, IntersectionTakesInnerEdges) {
  EXPECT_EQ(Rect(0, 0, 10, 10).Intersection(Rect(5, -3, 10, 6)), Rect(5, 0, 5, 3));
  EXPECT_TRUE(Rect(0, 0, 10, 10).Intersection(Rect(20, 20, 5, 5)).IsEmpty());
  EXPECT_EQ(Rect(0, 0, 10, 10).Intersection(Rect(20, 20, 5, 5)).mWidth, 0);
  EXPECT_TRUE(Rect(0, 0, 0, 5).IsEmpty());
  EXPECT_TRUE(Rect(0, 0, 5, -1).IsEmpty());
  EXPECT_TRUE(Rect(2, 3, 4, 5).Contains(5, 7));
  EXPECT_FALSE(Rect(2, 3, 4, 5).Contains(6, 7));
  // Edges far out must not overflow into a bogus non-empty result.
  EXPECT_TRUE(Rect(2'000'000'000, 0, 2'000'000'000, 1).Intersection(Rect(0, 0, 100, 1)).IsEmpty());
}

TEST(Matrix3, MultiplyAndTransform) {
  Kit::Matrix3 a;
  a.m[0][1] = 2;
  a.m[1][2] = 3;
  Kit::Matrix3 b;
  b.m[0][0] = 4;
  b.m[1][0] = 5;
  Kit::Matrix3 p = a.Multiply(b);
  EXPECT_FLOAT_EQ(p.m[0][0], 4 + 2 * 5);
  EXPECT_FLOAT_EQ(p.m[0][1], 2);
  EXPECT_FLOAT_EQ(p.m[1][0], 5);
  EXPECT_FLOAT_EQ(p.m[1][2], 3);
  Kit::Vector2 point = a.TransformPoint(1, 1);
  EXPECT_FLOAT_EQ(point.mX, 3);
  EXPECT_FLOAT_EQ(point.mY, 4);
  a.m[2][0] = 7;  // the bottom row counts only for full vectors
  EXPECT_FLOAT_EQ(a.TransformPoint(1, 1).mX, 3);
  Kit::Vector3 v = a.TransformVector(1, 1, 2);
  EXPECT_FLOAT_EQ(v.mX, 3);
  EXPECT_FLOAT_EQ(v.mY, 7);
  EXPECT_FLOAT_EQ(v.mZ, 9);
  a.LoadIdentity();
  EXPECT_FLOAT_EQ(a.m[0][1], 0);
  EXPECT_FLOAT_EQ(a.m[2][2], 1);
}

TEST(Transform2D, LaterCallsApplyLater) {
  Kit::Transform2D t;
  t.Translate(10, 0);
  t.Rotate(std::numbers::pi_v<float> / 2);  // anticlockwise on a y-down screen: right turns to up
  Kit::Vector2 p = t.TransformPoint(0, 0);
  EXPECT_NEAR(p.mX, 0, 1e-5);
  EXPECT_NEAR(p.mY, -10, 1e-5);

  Kit::Transform2D u;
  u.Scale(2, 3);
  u.Translate(1, 1);
  p = u.TransformPoint(1, 1);
  EXPECT_FLOAT_EQ(p.mX, 3);
  EXPECT_FLOAT_EQ(p.mY, 4);
}

}  // namespace
