// Pictures of the device against the per-pixel model: every triangle primitive with the blends the
// display uses and every filter, shared edges drawn once, and the pixels of lines; on 5-6-5, 5-5-5 and
// 32-bit targets.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "tests/d3d/D3DFixture.h"
#include "tests/d3d/ReferenceRaster.h"

namespace d3d_test {
namespace {

using testsupport::kScreenFormats;
using testsupport::ScreenFormat;

// The screen formats and 24-bit, which the device renders into too (the self-test then reports it).
const ScreenFormat kTargetFormats[] = {
    kScreenFormats[0], kScreenFormats[1], kScreenFormats[2], {plat::DesktopFormat::Rgb888, "Rgb888"}};

// Pseudo-random texels, alpha at least alphaFloor; with runs, every other run of four is wholly clear or
// wholly solid, as in sprites.
std::vector<std::uint32_t> Pattern(int count, std::uint32_t seed, std::uint32_t alphaFloor, bool runs = false) {
  std::vector<std::uint32_t> out;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    std::uint32_t alpha = alphaFloor + ((seed >> 24) % (256 - alphaFloor));
    if (runs && (i / 4) % 3 != 2) alpha = (i / 4) % 3 ? 0xFF : 0;
    out.push_back((alpha << 24) | ((seed >> 4) & 0xFFFFFF));
  }
  return out;
}

// The largest difference of one colour channel between two pictures.
int LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int worst = a.size() == b.size() ? 0 : 256;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst,
                       std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
  return worst;
}

// Rounding may differ by one step of the coarsest channel of the target: two units at 8 bits, at 5 bits
// one step widened by repeating the bits (15 reads as 123, 16 as 132).
int Tolerance(const std::array<int, 3>& bits) { return bits[0] == 8 ? 2 : 9; }

// ---- Every primitive with each blend and filter ----

struct Shape {
  const char* name;
  D3DPRIMITIVETYPE type;
  std::vector<D3DTLVERTEX> vertices;          // in drawing order
  std::vector<std::array<int, 3>> triangles;  // the triangles the primitive makes of them
};

// A quadrilateral with a colour and texture coordinates (some beyond the texture) at each corner.
const D3DTLVERTEX kQuad[] = {
    Vertex(1.25f, 2.5f, 0xC0FF8040, -0.2f, -0.1f), Vertex(13.75f, 1.0f, 0x80FFFFFF, 1.1f, 0.0f),
    Vertex(14.5f, 12.25f, 0xFF40C0FF, 1.2f, 1.3f), Vertex(2.0f, 14.75f, 0x60FFFFFF, 0.0f, 1.0f)};

Shape QuadAs(const char* name, D3DPRIMITIVETYPE type, std::vector<int> order,
             std::vector<std::array<int, 3>> triangles) {
  Shape shape{name, type, {}, std::move(triangles)};
  for (int i : order) shape.vertices.push_back(kQuad[i]);
  return shape;
}

// Axis-aligned sprites in one colour: drawn row by row, the unscaled one texel for texel.
Shape SpriteShape(const char* name, float x, float y, float w, float h, D3DCOLOR color) {
  return Shape{name, D3DPT_TRIANGLESTRIP, SpriteStrip(x, y, w, h, color), {{0, 1, 2}, {1, 3, 2}}};
}

const Shape kShapes[] = {
    QuadAs("List", D3DPT_TRIANGLELIST, {0, 1, 2, 0, 2, 3}, {{0, 1, 2}, {3, 4, 5}}),
    QuadAs("Strip", D3DPT_TRIANGLESTRIP, {0, 1, 3, 2}, {{0, 1, 2}, {1, 3, 2}}),
    QuadAs("Fan", D3DPT_TRIANGLEFAN, {0, 1, 2, 3}, {{0, 1, 2}, {0, 2, 3}}),
    // Scaled so that no pixel centre samples exactly on a texel boundary, where rounding may go either way.
    SpriteShape("ScaledSprite", 2.25f, 1.75f, 13.4f, 11.1f, 0xC0FFA040),
    SpriteShape("UnscaledSprite", 2, 3, 12, 12, 0xFFFFFFFF),
    SpriteShape("TintedSprite", 3, 1, 12, 12, 0x90FF8020),
};

struct Blend {
  const char* name;
  bool enabled;
  DWORD src, dest;
};

// The blends the display's drawing and its self-test set: over, additive, and one-to-one.
const Blend kBlends[] = {{"Over", true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                         {"Additive", true, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                         {"OneOne", true, D3DBLEND_ONE, D3DBLEND_ONE}};

enum class Filter { Untextured, Point, Bilinear };
const Filter kFilters[] = {Filter::Untextured, Filter::Point, Filter::Bilinear};

using Case = std::tuple<ScreenFormat, Shape, Blend, Filter>;

class PrimitiveTest : public D3DBase, public testing::WithParamInterface<Case> {
 protected:
  plat::DesktopFormat FormatUnderTest() const override { return std::get<0>(GetParam()).format; }
};

TEST_P(PrimitiveTest, MatchesThePerPixelModel) {
  const auto& [format, shape, blend, filter] = GetParam();
  RefTexture texture{12, 12, Pattern(144, 7, 0, true)};
  Com<IDirectDrawSurface7> surface;
  RefState ref{nullptr, filter == Filter::Bilinear, blend.enabled, blend.src, blend.dest};
  if (filter != Filter::Untextured) {
    surface = CreateTexture(12, 12, texture.argb);
    ASSERT_EQ(mDevice->SetTexture(0, surface.get()), D3D_OK);
    ref.texture = &texture;
  }
  const DWORD linear = filter == Filter::Bilinear;
  SetStates({{D3DRENDERSTATE_ALPHABLENDENABLE, blend.enabled},
             {D3DRENDERSTATE_SRCBLEND, blend.src},
             {D3DRENDERSTATE_DESTBLEND, blend.dest}});
  SetStageStates({{D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                  {D3DTSS_ADDRESS, D3DTADDRESS_CLAMP},
                  {D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT},
                  {D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT}});
  std::vector<RefTriangle> triangles;
  for (const auto& t : shape.triangles)
    triangles.push_back({shape.vertices[t[0]], shape.vertices[t[1]], shape.vertices[t[2]]});

  ASSERT_EQ(DrawScene(shape.type, shape.vertices, 0xFF306090), D3D_OK);
  RefFrame frame(kSize, kSize, ChannelBits(), 0xFF306090);
  frame.Draw(ref, triangles);
  EXPECT_LE(LargestDifference(ReadTarget(), frame.Pixels()), Tolerance(ChannelBits()));
}

std::string CaseName(const testing::TestParamInfo<Case>& info) {
  static const char* const kFilterNames[] = {"Untextured", "Point", "Bilinear"};
  return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name + std::get<2>(info.param).name +
         kFilterNames[static_cast<int>(std::get<3>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Pictures, PrimitiveTest,
                         testing::Combine(testing::ValuesIn(kTargetFormats), testing::ValuesIn(kShapes),
                                          testing::ValuesIn(kBlends), testing::ValuesIn(kFilters)),
                         CaseName);

// ---- Shared edges ----

float Snap(float v) { return std::round(v * 256.0f) / 256.0f; }

struct Tiling {
  const char* name;
  D3DPRIMITIVETYPE type;
  std::vector<D3DTLVERTEX> vertices;
  std::vector<std::array<int, 3>> triangles;
};

Tiling Strip() {
  Tiling t{"StripOfQuads", D3DPT_TRIANGLESTRIP, {}, {}};
  for (int k = 0; k < 9; ++k) {
    t.vertices.push_back(Vertex(Snap(0.3f + 1.7f * k), 0.6f));
    t.vertices.push_back(Vertex(Snap(0.75f + 1.7f * k), 13.4f));
  }
  for (int i = 0; i + 2 < static_cast<int>(t.vertices.size()); ++i)
    t.triangles.push_back(i % 2 ? std::array<int, 3>{i, i + 2, i + 1} : std::array<int, 3>{i, i + 1, i + 2});
  return t;
}

Tiling Fan() {
  Tiling t{"FanAroundACentre", D3DPT_TRIANGLEFAN, {Vertex(8.3f, 7.7f)}, {}};
  for (int k = 0; k <= 11; ++k) {
    const double angle = k * 2 * 3.14159265358979 / 11;
    t.vertices.push_back(Vertex(Snap(static_cast<float>(8.3 + 7 * std::cos(angle))),
                                Snap(static_cast<float>(7.7 + 7 * std::sin(angle)))));
  }
  for (int i = 1; i + 1 < static_cast<int>(t.vertices.size()); ++i) t.triangles.push_back({0, i, i + 1});
  return t;
}

Tiling Grid() {
  Tiling t{"GridOfQuads", D3DPT_TRIANGLELIST, {}, {}};
  auto at = [](int i, int j) { return Vertex(Snap(0.4f + 4.9f * i + 0.3f * j), Snap(0.7f + 4.6f * j - 0.2f * i)); };
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) {
      const D3DTLVERTEX a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      for (const D3DTLVERTEX& v : {a, b, c, a, c, d}) t.vertices.push_back(v);
    }
  for (int i = 0; i < static_cast<int>(t.vertices.size()); i += 3) t.triangles.push_back({i, i + 1, i + 2});
  return t;
}

// Edges through pixel centres: the top and left ones take their pixels, the right and bottom ones not.
Tiling OnCentres() {
  Tiling t{"SquareOnPixelCentres",
           D3DPT_TRIANGLELIST,
           {Vertex(2, 2), Vertex(12, 2), Vertex(12, 12), Vertex(2, 2), Vertex(12, 12), Vertex(2, 12), Vertex(12, 2),
            Vertex(15, 7), Vertex(12, 12)},
           {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}};
  return t;
}

// Far beyond the guard band: clipped to it, the pieces still cover every pixel once.
Tiling Huge() {
  return Tiling{"HugeTriangle",
                D3DPT_TRIANGLELIST,
                {Vertex(-3e38f, -3e38f), Vertex(3e38f, -3e38f), Vertex(0, 3e38f)},
                {{0, 1, 2}}};
}

class SharedEdgeTest : public D3DBase, public testing::WithParamInterface<std::tuple<ScreenFormat, Tiling>> {
 protected:
  plat::DesktopFormat FormatUnderTest() const override { return std::get<0>(GetParam()).format; }
};

TEST_P(SharedEdgeTest, CoversEveryPixelOnce) {
  Tiling tiling = std::get<1>(GetParam());
  for (D3DTLVERTEX& v : tiling.vertices) v.color = 0xFF202020;
  SetStates({{D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
             {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
             {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE}});
  ASSERT_EQ(DrawScene(tiling.type, tiling.vertices), D3D_OK);
  std::vector<RefTriangle> triangles;
  for (const auto& t : tiling.triangles)
    triangles.push_back({tiling.vertices[t[0]], tiling.vertices[t[1]], tiling.vertices[t[2]]});
  RefFrame frame(kSize, kSize, ChannelBits(), 0xFF000000);
  frame.Draw(RefState{nullptr, false, true, D3DBLEND_ONE, D3DBLEND_ONE}, triangles);
  // Drawn twice, a pixel would read 0x40 where the model has 0x20.
  EXPECT_EQ(ReadTarget(), frame.Pixels());
}

INSTANTIATE_TEST_SUITE_P(Tilings, SharedEdgeTest,
                         testing::Combine(testing::ValuesIn(kScreenFormats),
                                          testing::Values(Strip(), Fan(), Grid(), OnCentres(), Huge())),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

// ---- Lines ----

std::set<std::pair<int, int>> Row(int y) {
  std::set<std::pair<int, int>> row;
  for (int x = 0; x < 16; ++x) row.insert({x, y});
  return row;
}

struct LineCase {
  const char* name;
  D3DPRIMITIVETYPE type;
  std::vector<std::pair<float, float>> points;
  std::set<std::pair<int, int>> pixels;
};

const LineCase kLines[] = {
    {"Horizontal", D3DPT_LINELIST, {{2, 3}, {9, 3}}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}, {8, 3}}},
    {"Vertical", D3DPT_LINELIST, {{4, 6}, {4, 1}}, {{4, 6}, {4, 5}, {4, 4}, {4, 3}, {4, 2}}},
    {"Diagonal", D3DPT_LINESTRIP, {{1, 1}, {6, 6}}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}},
    // The display's line: a strip with a half-pixel tail, so that its end pixel is drawn.
    {"WithEndPixel",
     D3DPT_LINESTRIP,
     {{2, 10}, {7, 12}, {7.5f, 12.5f}},
     {{2, 10}, {3, 10}, {4, 11}, {5, 11}, {6, 12}, {7, 12}}},
    // Walked only where it crosses the target, so a far-reaching line costs no more than a short one.
    {"ClippedFarOutside", D3DPT_LINELIST, {{-1e9f, 8}, {1e9f, 8}}, Row(8)},
    {"FarAway", D3DPT_LINELIST, {{-1e31f, 1e30f}, {1e31f, 1e30f}}, {}},
};

class LineTest : public D3DBase, public testing::WithParamInterface<std::tuple<ScreenFormat, LineCase>> {
 protected:
  plat::DesktopFormat FormatUnderTest() const override { return std::get<0>(GetParam()).format; }
};

TEST_P(LineTest, DrawsItsPixelsAndNoOthers) {
  const LineCase& line = std::get<1>(GetParam());
  std::vector<D3DTLVERTEX> vertices;
  for (const auto& [x, y] : line.points) vertices.push_back(Vertex(x, y));
  ASSERT_EQ(DrawScene(line.type, vertices), D3D_OK);
  const auto pixels = ReadTarget();
  std::set<std::pair<int, int>> drawn;
  for (int i = 0; i < kSize * kSize; ++i)
    if (pixels[static_cast<size_t>(i)] == 0xFFFFFFFF) drawn.insert({i % kSize, i / kSize});
  EXPECT_EQ(drawn, line.pixels);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineTest,
                         testing::Combine(testing::ValuesIn(kScreenFormats), testing::ValuesIn(kLines)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

}  // namespace
}  // namespace d3d_test
