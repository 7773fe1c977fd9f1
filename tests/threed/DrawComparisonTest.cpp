// The Direct3D path draws the picture the 2D path draws: each scene is drawn on a display with 3D
// off and on a display with 3D on, in 5-6-5, 5-5-5 and 32 bits, and the two pictures agree within a small
// difference per channel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"
#include "framework/graphics/TriVertex.h"
#include "tests/support/ArgbReadback.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/ScreenHost.h"
#include "tests/support/TestWindow.h"

namespace {

constexpr int kWidth = 160, kHeight = 96;

// Source pictures: an opaque gradient, or one whose alpha ramps from clear to opaque, each pixel then
// changed by `adjust` (given the pixel, x and y).
std::unique_ptr<Kit::MemoryImage> MakePicture(
    Kit::ImageHost* host, int width, int height, bool alpha,
    const std::function<std::uint32_t(std::uint32_t, int, int)>& adjust = [](std::uint32_t p, int, int) { return p; }) {
  auto image = std::make_unique<Kit::MemoryImage>(host);
  image->Create(width, height);
  std::uint32_t* bits = image->GetBits();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t a = alpha ? static_cast<std::uint32_t>(255 * x / (width - 1)) : 255;
      bits[y * width + x] = adjust((a << 24) | (static_cast<std::uint32_t>(40 + 200 * x / width) << 16) |
                                       (static_cast<std::uint32_t>(220 - 180 * y / height) << 8) | 0x60,
                                   x, y);
    }
  image->BitsChanged();
  return image;
}

// A picture of 16 colours with a colour table: 8-bit palette textures.
std::unique_ptr<Kit::MemoryImage> MakePalettized(Kit::ImageHost* host) {
  auto image = MakePicture(host, 36, 24, false, [](std::uint32_t, int x, int y) {
    const int i = y * 36 + x;
    return (i % 7 == 0 ? 0x60000000u : 0xFF000000u) | (0x113355u * ((i / 5) % 8));
  });
  image->Palletize();
  return image;
}

// Colours and alpha that four bits hold exactly, for 16-bit A4R4G4B4 textures.
std::unique_ptr<Kit::MemoryImage> MakeFourBit(Kit::ImageHost* host) {
  auto image = MakePicture(host, 32, 32, true,
                           [](std::uint32_t p, int, int) { return (p & 0xF0F0F0F0u) | ((p & 0xF0F0F0F0u) >> 4); });
  image->mD3DFlags = Kit::D3DIMAGE_USE_A4R4G4B4;
  return image;
}

struct Pictures {
  explicit Pictures(Kit::ImageHost* host)
      : opaque(MakePicture(host, 40, 30, false)),
        alpha(MakePicture(host, 48, 32, true)),
        wide(MakePicture(host, 150, 20, false)),
        palettized(MakePalettized(host)),
        fourBit(MakeFourBit(host)),
        // With a clear frame: the 2D sub-pixel blit leaves out the outermost texels, the 3D one draws
        // them. The frame keeps its colours, so that filtering does not darken the edge towards black.
        framed(MakePicture(host, 36, 24, false, [](std::uint32_t p, int x, int y) {
          return x == 0 || y == 0 || x == 35 || y == 23 ? p & 0xFFFFFF : p;
        })) {}
  std::unique_ptr<Kit::MemoryImage> opaque, alpha;
  // Wider than one texture piece, so that two pieces meet inside the picture.
  std::unique_ptr<Kit::MemoryImage> wide;
  std::unique_ptr<Kit::MemoryImage> palettized, fourBit, framed;
};

// Triangles over the wide picture's pieces, two of them reaching outside the clip rectangle and one
// with no texture place at all; then untextured triangles in their vertex colours.
void DrawTriangles(Kit::Graphics& g, Pictures& p) {
  const float nan = std::nanf("");
  const Kit::TriVertex triangles[][3] = {{{0, 0, 0, 0}, {150, 0, 1, 0}, {0, 40, 0, 1}},
                                         {{150, 0, 1, 0}, {150, 40, 1, 1}, {0, 40, 0, 1}},
                                         {{100, 50, 0.9f, 0.2f}, {170, 60, 0.1f, 0.9f}, {120, 110, 0.5f, 0.5f}},
                                         {{10, 10, nan, 0}, {60, 10, 1, nan}, {10, 60, 0, 1}}};
  g.mDestImage->BltTrianglesTex(p.wide.get(), triangles, 4, Kit::Rect(8, 4, 140, 80), Kit::Color::White, 0, 5.25f,
                                30.375f, false);
  const Kit::TriVertex coloured[][3] = {
      {{3.5f, 2.25f, 0, 0, 0xFFFF0000}, {60.5f, 8.25f, 0, 0, 0xFF00FF00}, {20.5f, 28.25f, 0, 0, 0xFF8000FF}}};
  g.mDestImage->BltTrianglesTex(nullptr, coloured, 1, Kit::Rect(0, 0, 160, 96), Kit::Color::White, 0, 0, 0, false);
}

struct Scene {
  const char* name;
  std::function<void(Kit::Graphics&, Pictures&)> draw;
  // Filtered edges at sub-pixel places: each 3D pixel lies within the range of the 2D pixels around
  // it, so that the two samplings may cover an edge pixel apart but nothing moves by a whole pixel.
  bool edgesMayDiffer = false;
};

const Scene kScenes[] = {
    {"Opaque", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.opaque.get(), 10, 12); }},
    {"Alpha", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.alpha.get(), 30, 20); }},
    {"Pieces", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.wide.get(), 4, 60); }},
    {"Palette", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.palettized.get(), 100, 50); }},
    {"FourBit", [](Kit::Graphics& g, Pictures& p) { g.DrawImage(p.fourBit.get(), 90, 40); }},
    {"Additive",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetDrawMode(Kit::Graphics::DRAWMODE_ADDITIVE);
       g.DrawImage(p.opaque.get(), 50, 40);
       g.DrawImage(p.alpha.get(), 100, 10);
     }},
    {"Colourised",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetColorizeImages(true);
       g.SetColor(Kit::Color(255, 128, 64, 160));
       g.DrawImage(p.alpha.get(), 70, 10);
     }},
    {"Fills",
     [](Kit::Graphics& g, Pictures&) {
       g.SetColor(Kit::Color(200, 30, 90));
       g.FillRect(5, 5, 40, 20);
       g.SetColor(Kit::Color(20, 200, 90, 128));
       g.FillRect(25, 15, 50, 30);
       g.SetDrawMode(Kit::Graphics::DRAWMODE_ADDITIVE);
       g.SetColor(Kit::Color(60, 60, 160));
       g.FillRect(60, 30, 40, 40);
     }},
    {"Lines",
     [](Kit::Graphics& g, Pictures&) {
       g.SetColor(Kit::Color(250, 250, 40));
       g.DrawLine(10, 10, 150, 10);
       g.DrawLine(20, 5, 20, 90);
       g.DrawLine(30, 30, 90, 50);   // no pixel centre lies halfway between two rows
       g.DrawLine(40, 85, 150, 75);  // rising: drawn from its right end
     }},
    {"Text",
     [](Kit::Graphics& g, Pictures&) {
       static Kit::SysFont font(nullptr, "DejaVu Sans", 10);
       g.SetFont(&font);
       g.SetColor(Kit::Color(255, 255, 255));
       g.FillRect(0, 0, 4, 4);  // opens the scene that the text must not be hidden under
       g.DrawString("Quarvel 3D", 10, 40);
     }},
    {"SubPixelClipped",
     [](Kit::Graphics& g, Pictures& p) {
       g.mDestImage->BltF(p.framed.get(), 12, 50, Kit::Rect(0, 0, 36, 24), Kit::Rect(20, 0, 100, 66), Kit::Color::White,
                          0);
       g.mDestImage->BltF(p.framed.get(), 100, 10, Kit::Rect(0, 0, 36, 24), Kit::Rect(0, 0, 160, 96),
                          Kit::Color(255, 255, 255, 128), 1);
     }},
    {"Matrix",
     [](Kit::Graphics& g, Pictures& p) {
       Kit::Matrix3 m;  // 1.5 times as large, turned by half a radian
       m.m[0][0] = m.m[1][1] = 1.5f * std::cos(0.5f);
       m.m[1][0] = 1.5f * std::sin(0.5f);
       m.m[0][1] = -m.m[1][0];
       g.mDestImage->BltMatrix(p.opaque.get(), 60, 50, m, Kit::Rect(10, 10, 120, 70), Kit::Color::White, 0,
                               Kit::Rect(0, 0, 40, 30), false);
     }},
    {"Triangles", DrawTriangles},
    {"Rotated", [](Kit::Graphics& g, Pictures& p) { g.DrawImageRotatedF(p.framed.get(), 50.5f, 30.25f, 0.7); }, true},
    {"Mirrored", [](Kit::Graphics& g, Pictures& p) { g.DrawImageMirror(p.alpha.get(), 60, 20); }},
    {"Stretched",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetFastStretch(true);
       g.DrawImage(p.opaque.get(), Kit::Rect(5, 5, 80, 45), Kit::Rect(0, 0, 40, 30));
       // Mirrored nearest-texel stretches at whole scales: the paths round fractional places apart.
       g.mDestImage->StretchBltMirror(p.opaque.get(), Kit::Rect(10, 55, 80, 30), Kit::Rect(0, 0, 40, 15),
                                      Kit::Rect(0, 0, 160, 96), Kit::Color::White, 0, true);
     }},
    {"SmoothStretch",
     [](Kit::Graphics& g, Pictures& p) {
       g.SetFastStretch(false);
       g.DrawImage(p.framed.get(), Kit::Rect(90, 40, 60, 50), Kit::Rect(0, 0, 36, 24));
     },
     true},
};

void PrintTo(const Scene& scene, std::ostream* out) { *out << scene.name; }

class DrawComparisonTest : public testing::TestWithParam<std::tuple<testsupport::ScreenFormat, Scene>> {
 protected:
  // The scene on a fresh display over a patterned background, read back as 0xFFRRGGBB.
  std::vector<std::uint32_t> Draw(bool use3D) {
    static HWND window = testsupport::CreateTestWindow("DrawComparison", "3D", 0, 0, kWidth, kHeight);
    testsupport::ScreenHost host(kWidth, kHeight);
    Kit::DDInterface display(&host);
    host.display = &display;
    display.mIs3D = use3D;
    EXPECT_EQ(display.Init(window, true), Kit::DDInterface::RESULT_OK) << display.mErrorString;
    EXPECT_EQ(display.mIs3D, use3D);
    Pictures pictures(&host);
    {
      Kit::Graphics g(display.GetScreenImage());
      for (int band = 0; band < 4; ++band) {
        g.SetColor(Kit::Color(30 + 60 * band, 90, 150 - 30 * band));
        g.FillRect(band * kWidth / 4, 0, kWidth / 4, kHeight);
      }
      std::get<1>(GetParam()).draw(g, pictures);
    }
    EXPECT_TRUE(display.Redraw());
    return testsupport::ReadSurfaceArgb(display.mDrawSurface, kWidth, kHeight);
  }
};

TEST_P(DrawComparisonTest, ThreeDDrawsWhatTwoDDraws) {
  const plat::DesktopFormat format = std::get<0>(GetParam()).format;
  const auto desktop = testsupport::UseTestDesktop(format);
  const std::vector<std::uint32_t> twoD = Draw(false), threeD = Draw(true);
  ASSERT_EQ(twoD.size(), static_cast<std::size_t>(kWidth * kHeight));
  ASSERT_EQ(threeD.size(), twoD.size());
  // Opaque pictures become 5-6-5 textures, one 5-bit step (8) from their 32-bit pixels; on a 16-bit
  // screen the 2D blend works with 5-bit alpha and lands up to two 5-bit steps (17 once widened) away.
  const int tolerance = format == plat::DesktopFormat::Xrgb8888 ? 8 : 17;
  const bool edges = std::get<1>(GetParam()).edgesMayDiffer;
  const auto channel = [](std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
  int worst = 0, worstAt = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      for (int shift = 0; shift < 24; shift += 8) {
        const int i = y * kWidth + x, v = channel(threeD[i], shift);
        int low = channel(twoD[i], shift), high = low;
        for (int ny = std::max(y - 1, 0); edges && ny <= std::min(y + 1, kHeight - 1); ++ny)
          for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, kWidth - 1); ++nx) {
            low = std::min(low, channel(twoD[ny * kWidth + nx], shift));
            high = std::max(high, channel(twoD[ny * kWidth + nx], shift));
          }
        const int d = std::max({0, low - v, v - high});
        if (d > worst) worst = d, worstAt = i;
      }
  EXPECT_LE(worst, tolerance) << "at (" << worstAt % kWidth << ", " << worstAt / kWidth << "): 2D " << std::hex
                              << twoD[worstAt] << ", 3D " << threeD[worstAt];
}

INSTANTIATE_TEST_SUITE_P(Scenes, DrawComparisonTest,
                         testing::Combine(testing::ValuesIn(testsupport::kScreenFormats), testing::ValuesIn(kScenes)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
