// Clipping of Direct3D vertex polygons to a clip rectangle and to one texture piece.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/graphics/D3DClipper.h"

namespace {

using Kit::D3DVertexList;

D3DTLVERTEX Vertex(float x, float y, float tu = 0, float tv = 0, D3DCOLOR color = 0xFFFFFFFF) {
  return {x, y, 0.5f, 1.0f, color, 0x12345678, tu, tv};
}

void Fill(D3DVertexList& list, const std::vector<D3DTLVERTEX>& vertices) {
  list.Clear();
  for (const D3DTLVERTEX& v : vertices) list.Append(v);
}

// z, rhw and specular come from the first vertex: the 2D screen has no use for them.
TEST(D3DVertexTest, InterpolationBlendsThePlaceTheTextureAndTheColour) {
  const D3DTLVERTEX mid =
      Kit::D3DVertex::Interpolate(Vertex(1, 2, 3, 4, 0xFF000000), Vertex(3, 6, 5, 8, 0xFFFFFFFF), 0.5);
  EXPECT_EQ(std::tuple(mid.sx, mid.sy, mid.tu, mid.tv, mid.color), std::tuple(2.0f, 4.0f, 4.0f, 6.0f, 0xFF7F7F7Fu));
}

TEST(D3DVertexListTest, GrowsOutOfItsInlineStorageKeepingTheVertices) {
  D3DVertexList list;
  for (int i = 0; i < 101; ++i) list.Append(Vertex(static_cast<float>(i), 0));
  list.Reserve(301);
  EXPECT_GE(list.Capacity(), 301);
  ASSERT_EQ(list.Count(), 101);
  for (int i = 0; i < 101; ++i) EXPECT_EQ(list[i].sx, static_cast<float>(i));
}

TEST(D3DClipperTest, OneEdgeAgainstEitherSideOfABoundary) {
  struct Case {
    float start, end;
    std::vector<float> above, below;  // x of what each side appends
  };
  const Case cases[] = {{0, 4, {2, 4}, {2}}, {4, 6, {6}, {}}, {0, 1, {}, {1}}, {6, 0, {2}, {2, 0}}};
  for (const Case& c : cases) {
    D3DVertexList above, below;
    Kit::D3DClipper::ClipAgainstPlane(Kit::D3DClipper::X, 2, Vertex(c.start, 0), Vertex(c.end, 0), above);
    Kit::D3DClipper::ClipAgainstPlane2(Kit::D3DClipper::X, 2, Vertex(c.start, 0), Vertex(c.end, 0), below);
    for (auto [list, expected] : {std::pair{&above, &c.above}, std::pair{&below, &c.below}}) {
      ASSERT_EQ(list->Count(), static_cast<int>(expected->size())) << c.start << " to " << c.end;
      for (int i = 0; i < list->Count(); ++i) EXPECT_EQ((*list)[i].sx, (*expected)[i]);
    }
  }
}

struct RectCase {
  const char* name;
  std::vector<D3DTLVERTEX> polygon;
  int expectedCount;
};

class ClipToRectTest : public testing::TestWithParam<RectCase> {};

// Clip rectangle 0..10 x 0..10: what is left lies inside it.
TEST_P(ClipToRectTest, LeavesOnlyWhatLiesInside) {
  D3DVertexList list;
  Fill(list, GetParam().polygon);
  EXPECT_EQ(Kit::D3DClipper::ClipToRect(list, Kit::Rect(0, 0, 10, 10)), GetParam().expectedCount > 2);
  ASSERT_EQ(list.Count(), GetParam().expectedCount);
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_TRUE(list[i].sx >= 0 && list[i].sx <= 10 && list[i].sy >= 0 && list[i].sy <= 10) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Polygons, ClipToRectTest,
    testing::Values(RectCase{"QuadInside", {Vertex(1, 1), Vertex(1, 9), Vertex(9, 9), Vertex(9, 1)}, 4},
                    RectCase{"OneVertexLeft", {Vertex(-4, 5), Vertex(6, 1), Vertex(6, 9)}, 4},
                    RectCase{"CoversTheRect", {Vertex(-50, -50), Vertex(-50, 90), Vertex(90, -50)}, 4},
                    RectCase{"OctagonFromASquare", {Vertex(-2, 5), Vertex(5, 12), Vertex(12, 5), Vertex(5, -2)}, 8},
                    RectCase{"WhollyRight", {Vertex(11, 1), Vertex(12, 3), Vertex(15, 8)}, 0},
                    RectCase{"OnTheRightEdge", {Vertex(10, 1), Vertex(10, 9), Vertex(10, 5)}, 0},
                    RectCase{"TwoVertices", {Vertex(1, 1), Vertex(5, 5)}, 2}),
    [](const auto& info) { return info.param.name; });

TEST(D3DClipperTest, ATriangleAcrossPiecesKeepsItsPartOfThisPiece) {
  D3DVertexList list;
  Fill(list, {Vertex(0, 0, -0.5f, 0.5f, 0xFF000000), Vertex(20, 0, 1.5f, 0.5f, 0xFFFFFFFF), Vertex(10, 10, 0.5f, 2)});
  ASSERT_TRUE(Kit::D3DClipper::ClipToPiece(list));
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_TRUE(list[i].tu >= 0 && list[i].tu <= 1 && list[i].tv >= 0 && list[i].tv <= 1) << i;
    // u runs from -0.5 at x 0 to 1.5 at x 20 along the top edge; the cut keeps that line.
    if (list[i].sy == 0) {
      EXPECT_FLOAT_EQ(list[i].tu, -0.5f + list[i].sx / 10) << i;
    }
  }
  EXPECT_EQ(list.Count(), 4);  // the piece's lower half, v 0.5 to 1
}

}  // namespace
